// Copies the payload resource out of an executable with the Windows loader.
#include <windows.h>

#include "archive/payload.h"
#include "base/file.h"
#include "base/handles_win.h"
#include "base/win32_error.h"

namespace zub {

void SaveResourceToFile(const std::string& exePath, const std::string& targetPath) {
    // Loaded as a data file: its resources are readable and none of its code runs.
    ModuleHandle module(LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module.valid()) RaiseLastWin32Error();
    HRSRC info = FindResourceA(module.get(), "ZUBTRESOR", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!info) RaiseLastWin32Error();
    DWORD size = SizeofResource(module.get(), info);
    const LoadedResource resource(LoadResource(module.get(), info));
    if (!resource.valid()) RaiseLastWin32Error();
    const void* data = LockResource(resource.get());
    if (!data) return;  // nothing to write, and not an error
    fs::File file = fs::File::Create(targetPath);
    file.Write(data, size);
    file.Close();
}

}  // namespace zub
