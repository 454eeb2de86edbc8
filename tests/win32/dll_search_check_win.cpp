// dll_search_check: a copy of a system DLL under a new name beside this
// program loads before HardenDllSearch and no longer after it. Exit code 0
// when both hold.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/process_win.h"

int main() {
    std::string folder = zub::OwnExecutablePath();
    folder.resize(folder.find_last_of('\\') + 1);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string planted = folder + "zubplanted.dll";
    if (!CopyFileA((std::string(system) + "\\version.dll").c_str(), planted.c_str(), FALSE)) {
        std::printf("cannot plant %s\n", planted.c_str());
        return 2;
    }
    int result = 0;
    HMODULE before = LoadLibraryA("zubplanted.dll");
    if (!before) {
        std::printf("the planted DLL does not load even without hardening\n");
        result = 2;
    } else {
        FreeLibrary(before);
        zub::HardenDllSearch();
        if (HMODULE after = LoadLibraryA("zubplanted.dll")) {
            std::printf("the planted DLL beside the program still loads\n");
            FreeLibrary(after);
            result = 1;
        }
    }
    DeleteFileA(planted.c_str());
    return result;
}
