// Native builds have no Windows loader: the payload is found by reading the
// executable's resource directory (archive/pe_resource.h).
#include "archive/payload.h"
#include "archive/pe_resource.h"
#include "base/file.h"

namespace zub {

void SaveResourceToFile(const std::string& exePath, const std::string& targetPath) {
    const std::vector<unsigned char> exe = fs::ReadWholeFile(exePath);
    const TResourceLocation at = FindPayloadResource(exe.data(), exe.size());
    fs::File file = fs::File::Create(targetPath);
    file.Write(exe.data() + at.FileOffset, at.Size);
    file.Close();
}

}  // namespace zub
