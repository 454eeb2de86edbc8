// Reads the payload resource of an executable with the Windows loader.
#include <windows.h>

#include "archive/payload_layout.h"
#include "archive/payload.h"
#include "base/handles_win.h"
#include "base/win32_error.h"

namespace zub {

// The module loaded as a data file and its loaded resource; declared in this
// order so that the resource is released before the module is unloaded.
struct TPayloadResource::Holder {
    ModuleHandle module;
    LoadedResource resource;
};

TPayloadResource::TPayloadResource(const std::string& exePath) : holder_(std::make_unique<Holder>()) {
    // Loaded as a data file: its resources are readable and none of its code runs.
    holder_->module = ModuleHandle(LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!holder_->module.valid()) RaiseLastWin32Error();
    HRSRC info = FindResourceA(holder_->module.get(), kPayloadResourceName, RT_RCDATA);
    if (!info) RaiseLastWin32Error();
    const DWORD size = SizeofResource(holder_->module.get(), info);
    holder_->resource = LoadedResource(LoadResource(holder_->module.get(), info));
    if (!holder_->resource.valid()) RaiseLastWin32Error();
    data_ = static_cast<const unsigned char*>(LockResource(holder_->resource.get()));
    size_ = data_ ? size : 0;
}

TPayloadResource::~TPayloadResource() = default;

}  // namespace zub
