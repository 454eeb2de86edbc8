#include "setup/work_folder.h"

#include "archive/payload_layout.h"
#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"

namespace zub {

std::string MakeWorkFolder(const std::string& tempDir) { return fs::CreateNumberedFolder(tempDir + "ZCTemp"); }

std::string OpenWorkFolder(TWorkFolderGuard& guard) {
    const std::string folder = MakeWorkFolder(GetTempDir());
    guard.Set(folder);
    const std::string path = folder + "\\";
    for (const char* sub : kPayloadFolders) fs::ForceDirectories(path + sub);
    return path;
}

TWorkFolderGuard::~TWorkFolderGuard() {
    try {
        Remove();
    } catch (...) {
        // The program is ending; the final clean-up tries once more.
    }
}

void TWorkFolderGuard::Remove() {
    if (!folder_.empty() && fs::DirectoryExists(folder_)) DeleteFolderTree(folder_);
}

}  // namespace zub
