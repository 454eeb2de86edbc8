// Reads the payload resource of an executable with the Windows loader.
#include <windows.h>

#include "archive/payload_layout.h"
#include "archive/payload.h"
#include "base/handles_win.h"
#include "base/win32_error.h"

namespace zub {

// The module loaded as a data file (none for the running image, which is
// never unloaded) and its loaded resource; declared in this order so that
// the resource is released before the module is unloaded.
struct TPayloadResource::Holder {
    ModuleHandle module;
    LoadedResource resource;
};

namespace {

struct TLocked {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

TLocked LockPayload(HMODULE module, LoadedResource& resource) {
    HRSRC info = FindResourceA(module, kPayloadResourceName, RT_RCDATA);
    if (!info) RaiseLastWin32Error();
    const DWORD size = SizeofResource(module, info);
    resource = LoadedResource(LoadResource(module, info));
    if (!resource.valid()) RaiseLastWin32Error();
    const auto* data = static_cast<const unsigned char*>(LockResource(resource.get()));
    return {data, data ? size : 0};
}

}  // namespace

TPayloadResource::TPayloadResource(const std::string& exePath) : holder_(std::make_unique<Holder>()) {
    // Loaded as a data file: its resources are readable and none of its code runs.
    holder_->module = ModuleHandle(LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!holder_->module.valid()) RaiseLastWin32Error();
    const TLocked locked = LockPayload(holder_->module.get(), holder_->resource);
    data_ = locked.data;
    size_ = locked.size;
}

TPayloadResource::TPayloadResource(RunningImage) : holder_(std::make_unique<Holder>()) {
    HMODULE self = GetModuleHandleA(nullptr);
    if (!self) RaiseLastWin32Error();
    const TLocked locked = LockPayload(self, holder_->resource);
    data_ = locked.data;
    size_ = locked.size;
}

TPayloadResource TPayloadResource::OfRunningImage() { return TPayloadResource(RunningImage{}); }

TPayloadResource::~TPayloadResource() = default;

}  // namespace zub
