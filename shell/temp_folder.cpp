#include "tools/temp_folder.h"

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"

namespace zub::tool {

TTempFolder::TTempFolder() {
    // Creating a folder is atomic, so two tools running at once never share one.
    try {
        path_ = fs::CreateNumberedFolder(GetTempDir() + "skinsetup.") + "\\";
    } catch (const Error&) {
        throw Error("Unable to create a temporary folder in " + GetTempDir());
    }
}

TTempFolder::~TTempFolder() {
    try {
        DeleteFolderTree(path_.substr(0, path_.size() - 1));
    } catch (...) {
        // Left behind in the temporary directory; nothing else to do here.
    }
}

}  // namespace zub::tool
