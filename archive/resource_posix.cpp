// Native builds have no Windows loader to read resources with.
#include "archive/payload.h"
#include "base/error.h"

namespace zub {

void SaveResourceToFile(const std::string& exePath, const std::string& targetPath) {
    throw Error("Reading executable resources is not available on this platform");
}

}  // namespace zub
