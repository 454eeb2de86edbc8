// Installing again over an earlier installation of the same program: the
// earlier folder is proposed, and the earlier setup.log's entries are taken
// into the new one, so that the uninstaller removes both versions' files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/log_book.h"
#include "formats/log_format.h"

namespace zub {

// The destination a run proposes: the command line's /D= first, then the
// folder of an earlier installation (the uninstall entry's InstallLocation)
// when it is a usable full path, else the program files folder followed by
// Setup.ini's Destination.
std::string ProposedDestination(const std::optional<std::string>& commandLine, const std::string& installLocation,
                                const std::string& programFilesDestination);

// Where an installation's entries may lie. Paths are compared without regard
// to case, with doubled backslashes taken as one.
struct TOwnFolders {
    std::string Destination;
    std::string Programs;  // the Start menu's Programs folder; "" when unknown
    std::string Desktop;   // "" when unknown
};

// Whether an entry of an earlier setup.log can be this program's: a file or
// folder inside the destination (the destination itself too), a shortcut
// (".lnk") below the Programs folder or on the desktop, or a folder below
// the Programs folder. A path with "." or ".." parts, a "/", a ":" past the
// drive or a wildcard is never. setup.log is a file anyone who can write to
// the destination may have put there, and the uninstaller deletes what it names.
bool IsOwnEntry(const TLogEntryLine& entry, const TOwnFolders& folders);

// The entries of an earlier setup.log whose NAME= line is `displayName`, in
// the file's order; nothing when the text is no setup.log or names another
// program.
std::optional<std::vector<TLogEntryLine>> EarlierLogEntries(const std::string& text, const std::string& displayName);

// Takes the earlier entries into the log book: those that are the program's
// (IsOwnEntry) and still there (`exists`) and that the book does not hold
// already. The book then lists every shortcut and file (newest first) before
// every folder, and every folder before the folders that hold it, which is
// the order the uninstaller removes them in.
void MergeEarlierEntries(TSetupLogBook& logBook, const std::vector<TLogEntryLine>& earlier, const TOwnFolders& folders,
                         const std::function<bool(const TLogEntryLine&)>& exists);

}  // namespace zub
