#include "base/process_win.h"

#include <windows.h>

namespace zub {
namespace {

// Declared here: older SDK headers and older systems lack them, so they are
// looked up at run time.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;          // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kBaseSearchPathEnableSafeSearchMode = 0x00000001;  // BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE
constexpr DWORD kBaseSearchPathPermanent = 0x00008000;             // BASE_SEARCH_PATH_PERMANENT

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryAFn = BOOL(WINAPI*)(LPCSTR);

template <class Fn>
Fn Kernel32Function(const char* name) {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    return kernel32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace

void HardenDllSearch() {
    if (auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        setDefault(kLoadLibrarySearchSystem32);
    if (auto setMode = Kernel32Function<SetSearchPathModeFn>("SetSearchPathMode"))
        setMode(kBaseSearchPathEnableSafeSearchMode | kBaseSearchPathPermanent);
    // Where SetDefaultDllDirectories is missing, at least the current folder
    // leaves the search order.
    if (auto setDllDirectory = Kernel32Function<SetDllDirectoryAFn>("SetDllDirectoryA")) setDllDirectory("");
}

std::string OwnExecutablePath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    char longPath[MAX_PATH + 1] = {};
    const DWORD m = GetLongPathNameA(path, longPath, MAX_PATH);
    return m > 0 && m < MAX_PATH ? std::string(longPath) : std::string(path);
}

}  // namespace zub
