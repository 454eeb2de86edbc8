// Helpers shared by the fuzz targets: a private scratch folder per process
// (under TMPDIR, removed at exit) and writing the input to a file there, since
// the code under test reads files, not memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zub::fuzz {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zubfuzz.XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// One scratch folder for the whole run; its destructor runs at exit.
inline const std::string& Scratch() {
    static ScratchFolder folder;
    return folder.Path();
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

}  // namespace zub::fuzz
