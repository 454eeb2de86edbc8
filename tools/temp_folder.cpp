#include "tools/temp_folder.h"

#include "base/error.h"
#include "base/file.h"
#include "folders/shell.h"

namespace zub::tool {

TTempFolder::TTempFolder() {
    const std::string base = GetTempDir() + "skinsetup.";
    // Creating a folder is atomic, so two tools running at once never share one.
    for (int n = 1; n < 100000; ++n) {
        std::string candidate = base + std::to_string(n);
        if (!fs::PathExists(candidate) && fs::CreateDir(candidate)) {
            path_ = candidate + "\\";
            return;
        }
    }
    throw Error("Unable to create a temporary folder in " + GetTempDir());
}

TTempFolder::~TTempFolder() {
    try {
        DeleteFolderTree(path_.substr(0, path_.size() - 1));
    } catch (...) {
        // Left behind in the temporary directory; nothing else to do here.
    }
}

}  // namespace zub::tool
