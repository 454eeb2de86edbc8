// Helpers shared by the fuzz targets: a scratch folder per process (under
// TMPDIR, removed at exit) and writing the input to a file there, since
// the code under test reads files, not memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/temp_folder.h"

namespace zub::fuzz {

// One scratch folder for the whole run, ending in "/"; it goes at exit.
inline const std::string& Scratch() {
    static const TTempFolder folder("zubfuzz.");
    return folder.Path();
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

}  // namespace zub::fuzz
