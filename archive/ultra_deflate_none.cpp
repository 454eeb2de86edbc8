// Builds without zopfli (the Windows tool): the ultra level is refused.
#include "archive/ultra_deflate.h"
#include "base/error.h"

namespace zub {

bool UltraCompressionAvailable() { return false; }

void CompressUltra(std::vector<TUltraJob>&, unsigned, size_t) {
    throw Error("The compression level ultra needs zopfli, which this build of the tool lacks");
}

}  // namespace zub
