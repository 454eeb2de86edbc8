// The folders both directory tree benchmarks open: one folder with kWide
// sub-folders, and a path five levels deep through such folders, going on
// through the middle one of each level.
#pragma once

#include <cstdio>
#include <string>

namespace zub::bench {

constexpr int kWide = 10000;
constexpr int kDepth = 5;

// "Folder00042": names that sort as their numbers do.
inline std::string FolderName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "Folder%05d", i);
    return name;
}

}  // namespace zub::bench
