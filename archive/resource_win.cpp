// Copies the payload resource out of an executable with the Windows loader.
#include <windows.h>

#include "archive/payload.h"
#include "base/file.h"
#include "base/handles_win.h"
#include "base/win32_error.h"

namespace zub {
namespace {

// A loaded resource, released when it goes out of scope.
class LoadedResource {
public:
    LoadedResource(HMODULE module, HRSRC info) : handle_(LoadResource(module, info)) {
        if (!handle_) RaiseLastWin32Error();
    }
    ~LoadedResource() { FreeResource(handle_); }
    LoadedResource(const LoadedResource&) = delete;
    LoadedResource& operator=(const LoadedResource&) = delete;
    const void* Lock() const { return LockResource(handle_); }

private:
    HGLOBAL handle_;
};

}  // namespace

void SaveResourceToFile(const std::string& exePath, const std::string& targetPath) {
    // Loaded as a data file: its resources are readable and none of its code runs.
    ModuleHandle module(LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module.valid()) RaiseLastWin32Error();
    HRSRC info = FindResourceA(module.get(), "ZUBTRESOR", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!info) RaiseLastWin32Error();
    DWORD size = SizeofResource(module.get(), info);
    LoadedResource resource(module.get(), info);
    const void* data = resource.Lock();
    if (!data) return;  // nothing to write, and not an error
    fs::File file = fs::File::Create(targetPath);
    file.Write(data, size);
    file.Close();
}

}  // namespace zub
