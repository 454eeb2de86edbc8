// Native builds have no Windows loader: the payload is found by reading the
// executable's resource directory (archive/pe_resource.h).
#include "archive/payload.h"
#include "archive/pe_resource.h"
#include "base/file.h"

namespace zub {

struct TPayloadResource::Holder {
    std::vector<unsigned char> exe;
};

TPayloadResource::TPayloadResource(const std::string& exePath) : holder_(std::make_unique<Holder>()) {
    holder_->exe = fs::ReadWholeFile(exePath);
    const TResourceLocation at = FindPayloadResource(holder_->exe.data(), holder_->exe.size());
    data_ = holder_->exe.data() + at.FileOffset;
    size_ = at.Size;
}

// Natively the running image is the program's file, as the system names it.
TPayloadResource::TPayloadResource(RunningImage) : TPayloadResource(std::string("/proc/self/exe")) {}

TPayloadResource TPayloadResource::OfRunningImage() { return TPayloadResource(RunningImage{}); }

TPayloadResource::~TPayloadResource() = default;

}  // namespace zub
