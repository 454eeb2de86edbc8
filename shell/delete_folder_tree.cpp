#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"

namespace zub {
namespace {

// A junction or symbolic link goes as itself; what it points at stays.
// Windows removes a folder link with RemoveDirectory and a file link with
// DeleteFile; POSIX unlinks either. One that will not go is passed over.
void RemoveLink(const std::string& path, bool isDirectory) {
    if (!(isDirectory && fs::RemoveDir(path))) fs::RemoveFile(path);
}

// Removes a folder that exists, with its entries. The attributes come with
// the listing, so a file costs one call (two when it is read-only) instead of
// asking the system for them again. `readOnly` is the folder's own attribute.
void DeleteTree(const std::string& folder, bool readOnly) {
    std::string entryName;  // the entry being handled, for the message
    try {
        // A read-only folder keeps its entries on POSIX; on Windows this is harmless.
        if (readOnly) fs::SetReadOnly(folder, false);
        for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
            entryName = entry.name;
            std::string path = folder + "\\" + entry.name;
            // Asked again just before entering: a folder swapped for a link
            // after the listing is not entered either.
            if (entry.isLink || (entry.isDirectory && fs::IsLink(path))) {
                RemoveLink(path, entry.isDirectory);
            } else if (entry.isDirectory) {
                DeleteTree(path, entry.readOnly);
            } else {
                if (entry.readOnly) fs::SetReadOnly(path, false);
                fs::RemoveFile(path);  // a file that will not go is passed over
            }
        }
        entryName.clear();
        if (!fs::RemoveDir(folder)) throw IoError(fs::LastErrorCode());
    } catch (const std::exception& e) {
        // Each level names itself, so the top level's message names the top
        // folder and, as the entry, the sub-folder through which it came.
        throw Error("Aborted deleting Directory: " + folder + "file: " + entryName);
    }
}

}  // namespace

void DeleteFolderTree(const std::string& folder) {
    // The folder itself replaced by a link: only the link goes.
    if (fs::IsLink(folder)) return RemoveLink(folder, fs::DirectoryExists(folder));
    if (!fs::DirectoryExists(folder)) return;
    DeleteTree(folder, true);  // the top folder's attribute is not known: clear it in any case
}

}  // namespace zub
