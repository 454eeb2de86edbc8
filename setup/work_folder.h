// The setup's private work folder in the temporary directory.
#pragma once

#include <string>

namespace zub {

// Creates tempDir + kWorkFolderPrefix ("ZCTemp") + n for the smallest n >= 1 under which nothing
// exists yet, and returns its path without a trailing backslash. tempDir ends
// in a separator. With `access` (SDDL text) the folder is made with those
// rights (fs::CreateDir). Raises the input/output error when it cannot be
// created.
std::string MakeWorkFolder(const std::string& tempDir, const std::string& access = "");

class TWorkFolderGuard;

// The start-up's work folder: made in the user's temporary directory,
// private to the account (PrivateFolderAccess), handed to `guard` for
// removal, with the sub-folders the payload unpacks into, which inherit its
// rights. Returns its path with a trailing backslash.
std::string OpenWorkFolder(TWorkFolderGuard& guard);
// The same in `tempDir` with `access`. A temporary directory that is empty
// (the system has none) or not a full path is refused with an error before
// anything is made: the work folder would land in the current directory.
std::string OpenWorkFolder(TWorkFolderGuard& guard, const std::string& tempDir, const std::string& access);

// Removes a work folder when it goes out of scope (if it still exists), so a
// failed start-up and a normal end both leave nothing behind.
class TWorkFolderGuard {
public:
    TWorkFolderGuard() = default;
    ~TWorkFolderGuard();
    TWorkFolderGuard(const TWorkFolderGuard&) = delete;
    TWorkFolderGuard& operator=(const TWorkFolderGuard&) = delete;

    void Set(const std::string& folder) { folder_ = folder; }
    const std::string& Folder() const { return folder_; }
    // Removes the folder now; raises what DeleteFolderTree raises.
    void Remove();

private:
    std::string folder_;
};

}  // namespace zub
