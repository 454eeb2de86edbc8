// What the uninstaller removes, in which order, and what it refuses to touch.
// The plan is made from the log alone (pure, table-tested); running it goes
// through IUninstallMachine, so that tests can run it on a fake machine.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "uninstall/setup_log_reader.h"

namespace zub {

// Why an item was not removed; the uninstaller words it for the user.
enum class TRemovalProblem {
    UnknownLine,     // a line with no known prefix, or cut off
    NotAbsolute,     // not "X:\..." nor "\\server\share\..."
    NotPlain,        // ".", "..", wildcards, a stream or device name: Windows would read it otherwise
    DriveRoot,       // "C:\" or "\\server\share"
    SystemFolder,    // one of the platform's own folders
    BadKeyName,      // "KEY=" would name the Uninstall key itself
    FileNotRemoved,  // in use or protected
    FolderNotEmpty,
    FolderNotRemoved,
    KeyNotRemoved,
    LogNotRemoved,
    OutsideInstallation,  // not where the setup puts such entries (uninstall/removal_places.h)
    NotAShortcut,         // a LINK entry that does not end in ".lnk"
    ThroughLink,          // reached through a junction or symbolic link below its folder
    LogKept,              // the log stays, as it names entries that were refused or stayed
    KeyKept,              // the uninstall entry stays, so that the uninstaller can be run again
};

struct TProblemItem {
    TRemovalProblem Problem;
    std::string What;  // the path, key name or log line
    int Line = 0;      // the log line it came from, 0 for none
};

// How a path from the log may be used.
enum class TPathVerdict { Usable, NotAbsolute, NotPlain, DriveRoot, SystemFolder };

// The form paths are compared in: "/" read as "\", runs of "\" made one
// (the leading "\\" of a network path kept), no trailing "\", ASCII letters
// in lower case.
std::string ComparablePath(const std::string& path);

// `systemFolders` are the platform's own folders (any spelling).
TPathVerdict ClassifyPath(const std::string& path, const std::vector<std::string>& systemFolders);

enum class TStepAction { RemoveFile, RemoveFolder, RemoveKey, RemoveLog, Skip };

struct TRemovalStep {
    TStepAction Action;
    std::string Path;  // the path, or the key name for RemoveKey
    int Line = 0;
    TRemovalProblem Why = TRemovalProblem::UnknownLine;  // for Skip
    std::string Base;  // the folder that allows the entry: no link below it is passed through
};

struct TRemovalContext {
    std::string LogPath;   // the setup.log read
    std::string SelfPath;  // the running uninstaller: removed after it has ended
    std::vector<std::string> SystemFolders;
    // Where shortcuts and program folders may be removed besides the
    // folder of SelfPath: the Start-menu Programs folders and the desktops.
    std::vector<std::string> ProgramsFolders;
    std::vector<std::string> Desktops;
    // Below these a removal may be left to the next restart
    // (uninstall/removal_places.h: MayRemoveAtRestart).
    std::vector<std::string> RestartFolders;
};

// The steps in order: the entries as the log lists them (files and links
// removed, folders removed when they hold no file, unusable ones skipped
// with their reason, unknown lines skipped in their place), then the key,
// then the log.
std::vector<TRemovalStep> MakeRemovalPlan(const TSetupLog& log, const TRemovalContext& context);

// What the uninstaller needs from the machine.
class IUninstallMachine {
public:
    enum class TResult { Removed, Absent, Failed };
    // A link is a symbolic link or junction: never followed, never emptied.
    enum class TKind { None, File, Folder, Link };
    virtual ~IUninstallMachine() = default;
    // A file (read-only ones too); Absent when there is none.
    virtual TResult RemoveFile(const std::string& path) = 0;
    virtual TKind KindOf(const std::string& path) = 0;
    // The names of a folder's entries.
    virtual std::vector<std::string> FolderEntries(const std::string& path) = 0;
    // An empty folder; never anything in it.
    virtual TResult RemoveEmptyFolder(const std::string& path) = 0;
    // The uninstall entry named `keyName`, in the root and view the setup wrote it.
    virtual TResult RemoveUninstallKey(const std::string& keyName) = 0;
    // Arranges that, once the uninstaller has ended, `self` is removed and
    // then `after` in their order, as FinishAfterExit does
    // (uninstall/removal_after_exit.h). False when it cannot.
    virtual bool RemoveAfterExit(const std::string& self, const std::vector<std::string>& after) = 0;
    // Arranges that `path` is removed at the next restart of the system (a
    // folder only when empty by then); removals arranged earlier come first.
    // False when it cannot.
    virtual bool RemoveAtRestart(const std::string& path) = 0;
    // Replaces the log with `text`, through a new file beside it; false when
    // that fails, and the log is then as it was.
    virtual bool ReplaceLog(const std::string& path, const std::string& text) = 0;
};

// Runs the plan. A folder goes only when no file is left in it (never a
// file that the log does not name); empty folders inside it go with it,
// since the setup makes sub-folders for its files without recording them.
// A file that cannot be removed is offered to `retry` (true: try again) as
// long as it says so; what still stays, and a folder that cannot be removed,
// is left to the next restart where that may be done, and the folders that
// hold it then go at the restart too, after it. Where it may not, or the
// system refuses, the item stays: then the uninstall entry stays and the
// log is kept (RewriteLog), so that a second run can finish the job.
using TRetryQuestion = std::function<bool(const std::string& path)>;

struct TRemovalOutcome {
    std::vector<TProblemItem> Problems;  // in plan order
    // Folders that hold nothing but the running uninstaller (and the log):
    // to be removed, in this order, once the uninstaller has ended.
    std::vector<std::string> FoldersAfterExit;
    // Removed at the next restart, in the order arranged.
    std::vector<std::string> AtRestart;
    // The log stays: it is to be rewritten to list only the entries of StayedLines.
    bool RewriteLog = false;
    std::vector<int> StayedLines;  // the log lines of the entries still there, in plan order
};

TRemovalOutcome RunRemovalPlan(const std::vector<TRemovalStep>& plan, const TRemovalContext& context,
                               IUninstallMachine& machine, const TRetryQuestion& retry = nullptr);

// Leaves `path` to the next restart where MayRemoveAtRestart allows it and
// the machine can, and adds it to outcome.AtRestart. The system takes the
// removals in the order arranged, so the folders of FoldersAfterExit and
// AtRestart that hold `path` are arranged once more, after it.
bool LeaveForRestart(const std::string& path, const TRemovalContext& context, IUninstallMachine& machine,
                     TRemovalOutcome& outcome);

// The machine's file side over the file layer (which does not tell links
// from what they point at); the registry is left to the platform.
class TFileSystemMachine : public IUninstallMachine {
public:
    TResult RemoveFile(const std::string& path) override;
    TKind KindOf(const std::string& path) override;
    std::vector<std::string> FolderEntries(const std::string& path) override;
    TResult RemoveEmptyFolder(const std::string& path) override;
    bool ReplaceLog(const std::string& path, const std::string& text) override;
};

}  // namespace zub
