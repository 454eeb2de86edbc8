#include "setup/work_folder.h"

#include "archive/payload_layout.h"
#include "base/error.h"
#include "base/file.h"
#include "base/folder_access.h"
#include "shell/shell.h"

namespace zub {

std::string MakeWorkFolder(const std::string& tempDir, const std::string& access) {
    return fs::CreateNumberedFolder(tempDir + kWorkFolderPrefix, access);
}

std::string OpenWorkFolder(TWorkFolderGuard& guard) {
    return OpenWorkFolder(guard, GetTempDir(), PrivateFolderAccess(CurrentAccount()));
}

std::string OpenWorkFolder(TWorkFolderGuard& guard, const std::string& tempDir, const std::string& access) {
    if (tempDir.empty()) throw Error("The system names no temporary folder");
    if (!fs::IsFullPath(tempDir)) throw Error("The temporary folder " + tempDir + " is not a full path");
    const std::string folder = MakeWorkFolder(tempDir, access);
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
