#include "shell/temp_folder.h"

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"

namespace zub {

TTempFolder::TTempFolder(const std::string& prefix) {
    std::string folder;
    try {
        folder = fs::CreateNumberedFolder(GetTempDir() + prefix + std::to_string(CurrentProcessId()) + ".");
    } catch (const Error&) {
        throw Error("Unable to create a temporary folder in " + GetTempDir());
    }
    const std::string longPath = fs::LongFullPath(folder);
    path_ = fs::NativePath((longPath.empty() ? folder : longPath) + "\\");
}

TTempFolder::~TTempFolder() {
    try {
        DeleteFolderTree(Folder());
    } catch (...) {
        // Left behind in the temporary directory; nothing else to do here.
    }
}

}  // namespace zub
