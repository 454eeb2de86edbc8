#include "setup/work_folder.h"

#include "base/error.h"
#include "base/file.h"
#include "folders/shell.h"

namespace zub {

std::string MakeWorkFolder(const std::string& tempDir) {
    // A file of the same name, or a folder made by another setup between the
    // test and the creation, makes that number taken: go on to the next one.
    constexpr int kAttempts = 100000;
    for (int n = 1; n <= kAttempts; ++n) {
        std::string folder = tempDir + "ZCTemp" + std::to_string(n);
        if (fs::PathExists(folder)) continue;
        if (fs::CreateDir(folder)) return folder;
        if (!fs::PathExists(folder)) throw IoError(fs::LastErrorCode());
    }
    throw IoError(183);  // every name taken: "already exists"
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
