// Where the platform keeps its folders, and removal of folder trees.
#pragma once

#include <string>

namespace zub {

// The temporary directory as the platform reports it, with its trailing
// separator (GetTempPathA on Windows; $TMPDIR or /tmp natively); "" when
// the platform has none. A TMP or TEMP that is not a full path comes back
// as it was set (GetTempPathA would make it full against the current folder).
std::string GetTempDir();

// This process's id (GetCurrentProcessId, getpid): names made of it are this
// process's own while it runs.
unsigned long CurrentProcessId();

// Removes a folder with everything in it, read-only and hidden entries
// included. A file that cannot be deleted is passed over; the removal of the
// folder holding it then fails and raises "Aborted deleting Directory: "
// followed by the folder, "file: " and the entry being handled. Nothing
// happens when the folder does not exist. A junction or symbolic link, the
// folder itself or anything below it, is removed as itself and never entered.
void DeleteFolderTree(const std::string& folder);

}  // namespace zub
