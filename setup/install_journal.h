// What an installation made and what it replaced, so that all of it can be
// undone until the installation is complete: new files, links and folders are
// removed again, and a file that was there before is put back byte for byte.
#pragma once

#include <string>
#include <vector>

namespace zub {

// Declared only: install_system.h names a function that <windows.h> renames
// by macro, so it is included where it is used, not with the form's header.
class IInstallSystem;
struct TCopyResult;

// The levels of `folder` that are missing now, deepest first: the folder
// without trailing separators, then each parent up to the first that is there.
std::vector<std::string> MissingFolderLevels(IInstallSystem& system, const std::string& folder);

// What CreateFolderLevels does when the platform refuses a level (characters
// a folder cannot hold, a file of that name).
enum class TFolderFailure {
    // The levels made so far stay: the failure shows itself when a file is
    // copied into the folder, with the system's reason.
    Stop,
    // The levels made by this call are removed again, then the runtime's
    // input/output error with the system's code is raised.
    Raise,
};

// The name an earlier file is kept under while the installation may still be
// undone: beside it, so that moving it aside and back is a rename on the same
// drive. `number` counts from 1 until a free name is found.
std::string BackupName(const std::string& path, int number);

class TInstallJournal {
public:
    // To be called before `path` is written (a copy, a shortcut, setup.log).
    // A path this journal knows already is left alone. Anything else that is
    // there is moved aside to a free backup name, and put back by RollBack;
    // a path where nothing is gets removed by RollBack. When the earlier file
    // cannot be moved aside the result says why, and nothing is changed.
    TCopyResult BeforeWrite(IInstallSystem& system, const std::string& path);
    // A folder this installation made.
    void MadeFolder(const std::string& path);
    // Makes the missing levels of `folder` one at a time, outermost first,
    // journals each level made and returns them in that order (full paths).
    std::vector<std::string> CreateFolderLevels(IInstallSystem& system, const std::string& folder,
                                                TFolderFailure onFailure);

    // Undoes everything, newest first: what was made is removed (a folder only
    // when empty), what was replaced is put back. Returns the paths it could
    // neither remove nor restore, in that order. The journal is empty afterwards.
    std::vector<std::string> RollBack(IInstallSystem& system) noexcept;
    // The installation is complete: the backups are deleted and nothing can
    // be undone any more.
    void Commit(IInstallSystem& system) noexcept;

    bool Empty() const { return steps_.empty(); }

private:
    enum class TKind { File, Folder, Replaced };
    struct TStep {
        TKind Kind;
        std::string Path;
        std::string Backup;  // for Replaced: where the earlier file is kept
    };
    bool Knows(const std::string& path) const;

    std::vector<TStep> steps_;  // in the order made
};

}  // namespace zub
