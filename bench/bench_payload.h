// The data the archive benchmarks share: a mixed payload generated
// deterministically into a temporary folder (text-like files that compress
// about 3:1, incompressible files, and one large entry), and an archive with
// a single 1 GiB entry written straight from a generator, for the memory test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zub::bench {

struct TPayloadFile {
    std::string Folder;  // relative, "\"-separated, "" for the top
    std::string Name;
    std::string Path;    // on disk
    int64_t Size = 0;
};

class TBenchPayload {
public:
    // Generates the files under `root` (made if missing); `scale` 1 gives
    // about 72 MiB.
    TBenchPayload(const std::string& root, double scale = 1.0);

    const std::string& Folder() const { return folder_; }
    const std::vector<TPayloadFile>& Files() const { return files_; }
    int64_t TotalBytes() const;

private:
    void Add(const std::string& folder, const std::string& name, const std::vector<unsigned char>& data);

    std::string folder_;
    std::vector<TPayloadFile> files_;
};

// Text-like bytes (words of a small vocabulary in lines) and noise; the
// same seed gives the same bytes.
std::vector<unsigned char> TextLike(size_t size, uint32_t seed);
std::vector<unsigned char> Noise(size_t size, uint32_t seed);

// Writes an archive holding one entry "huge.bin" of `size` text-like bytes,
// compressed with zlib level 1 while it is generated: no source file needed.
void WriteHugeArchive(const std::string& path, int64_t size);

}  // namespace zub::bench
