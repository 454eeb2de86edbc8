#include "setup/work_folder.h"

#include "base/error.h"
#include "base/file.h"
#include "folders/shell.h"

namespace zub {

std::string MakeWorkFolder(const std::string& tempDir) { return fs::CreateNumberedFolder(tempDir + "ZCTemp"); }

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
