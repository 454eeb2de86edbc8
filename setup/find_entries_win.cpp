#include "setup/find_entries_win.h"

#include <windows.h>

#include "base/handles_win.h"

namespace zub {

std::vector<TFoundEntry> FindEntries(const std::string& pattern) {
    std::vector<TFoundEntry> entries;
    WIN32_FIND_DATAA data{};
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.valid()) return entries;
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0});
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

}  // namespace zub
