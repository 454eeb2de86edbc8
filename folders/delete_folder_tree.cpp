#include "base/error.h"
#include "base/file.h"
#include "folders/shell.h"

namespace zub {

void DeleteFolderTree(const std::string& folder) {
    if (!fs::DirectoryExists(folder)) return;
    std::string entryName;  // the entry being handled, for the message
    try {
        // A read-only folder keeps its entries on POSIX; on Windows this is harmless.
        fs::SetReadOnly(folder, false);
        for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
            entryName = entry.name;
            std::string path = folder + "\\" + entry.name;
            if (entry.isDirectory) {
                DeleteFolderTree(path);
            } else if (fs::FileExists(path)) {
                fs::SetReadOnly(path, false);
                fs::RemoveFile(path);  // a file that will not go is passed over
            }
        }
        entryName.clear();
        fs::SetReadOnly(folder, false);
        if (!fs::RemoveDir(folder)) throw IoError(fs::LastErrorCode());
    } catch (const std::exception& e) {
        // Each level names itself, so the top level's message names the top
        // folder and, as the entry, the sub-folder through which it came.
        throw Error("Aborted deleting Directory: " + folder + "file: " + entryName);
    }
}

}  // namespace zub
