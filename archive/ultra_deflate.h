// The "ultra" compression level: ordinary zlib streams (RFC 1950) made by
// zopfli, which searches much harder than zlib's best level for the shortest
// deflate encoding. Any zlib inflater reads them.
//
// The data is cut into parts of a fixed size, each compressed on its own
// (with the data before it as history) and on as many threads as given; the
// parts are joined at byte boundaries, so the bytes depend on the data alone,
// never on the number of threads.
#pragma once

#include <cstddef>
#include <vector>

namespace zub {

// Whether this build has zopfli (native builds with libzopfli; not mingw).
bool UltraCompressionAvailable();

struct TUltraJob {
    const unsigned char* Data = nullptr;  // held by the caller until the call returns
    size_t Size = 0;
    std::vector<unsigned char> Stream;    // the zlib stream made
};

// zopfli's own master block size: the parts it compresses one after the
// other when given the whole data.
constexpr size_t kUltraPartSize = 1000000;

// Compresses every job, the parts of all jobs shared among `threads` threads.
// Raises zub::Error when the build has no zopfli.
void CompressUltra(std::vector<TUltraJob>& jobs, unsigned threads, size_t partSize = kUltraPartSize);

}  // namespace zub
