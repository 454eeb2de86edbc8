#include "setup/install_journal.h"

#include <algorithm>

#include "base/error.h"
#include "base/strings.h"
#include "setup/install_system.h"

namespace zub {
namespace {

// Backup names tried before the earlier file counts as impossible to move aside.
constexpr int kBackupNames = 100;

// The path without trailing backslashes, except that a drive stays a root ("C:\").
std::string FolderLevel(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (!path.empty() && path.back() == ':') path += '\\';
    return path;
}

}  // namespace

std::vector<std::string> MissingFolderLevels(IInstallSystem& system, const std::string& folder) {
    // Bounded against odd paths.
    std::vector<std::string> missing;
    std::string level = FolderLevel(folder);
    for (int depth = 0; !level.empty() && depth < 260; ++depth) {
        if (system.IsFolderPresent(level)) break;
        missing.push_back(level);
        std::string parent = FolderLevel(ExtractFilePath(level));
        if (parent.size() >= level.size()) break;
        level = parent;
    }
    return missing;
}

std::string BackupName(const std::string& path, int number) {
    return path + Format(".%d.setup-backup", number);
}

bool TInstallJournal::Knows(const std::string& path) const {
    const std::string key = LowerAscii(path);
    return std::any_of(steps_.begin(), steps_.end(), [&](const TStep& s) { return LowerAscii(s.Path) == key; });
}

TCopyResult TInstallJournal::BeforeWrite(IInstallSystem& system, const std::string& path) {
    if (Knows(path)) return {true, ""};
    if (!system.FileExists(path)) {
        // Journaled before it is written, so that a half-written file goes too.
        steps_.push_back({TKind::File, path, ""});
        return {true, ""};
    }
    TCopyResult moved{false, ""};
    for (int n = 1; n <= kBackupNames; ++n) {
        const std::string backup = BackupName(path, n);
        // A name that is taken (perhaps planted) is never replaced or reused.
        if (system.FileExists(backup) || system.IsFolderPresent(backup)) continue;
        moved = system.RenameFile(path, backup);
        if (moved.Ok) steps_.push_back({TKind::Replaced, path, backup});
        return moved;
    }
    return moved;
}

std::vector<std::string> TInstallJournal::CreateFolderLevels(IInstallSystem& system, const std::string& folder,
                                                             TFolderFailure onFailure) {
    const std::vector<std::string> missing = MissingFolderLevels(system, folder);
    std::vector<std::string> made;
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        const int code = system.CreateDir(*level);
        if (code == 0) {
            made.push_back(*level);
            continue;
        }
        if (onFailure == TFolderFailure::Stop) break;
        for (auto it = made.rbegin(); it != made.rend(); ++it) system.RemoveDir(*it);
        throw IoError(code);
    }
    for (const std::string& level : made) MadeFolder(level);
    return made;
}

void TInstallJournal::MadeFolder(const std::string& path) { steps_.push_back({TKind::Folder, path, ""}); }

std::vector<std::string> TInstallJournal::RollBack(IInstallSystem& system) noexcept {
    std::vector<std::string> left;
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
        try {
            switch (it->Kind) {
                case TKind::File:
                    if (system.FileExists(it->Path) && !system.RemoveFile(it->Path)) left.push_back(it->Path);
                    break;
                case TKind::Folder:
                    // Only when empty: what someone else put there stays, and so does the folder.
                    if (system.IsFolderPresent(it->Path) && !system.RemoveDir(it->Path)) left.push_back(it->Path);
                    break;
                case TKind::Replaced:
                    if (system.FileExists(it->Path) && !system.RemoveFile(it->Path)) {
                        left.push_back(it->Path);
                        break;
                    }
                    if (!system.RenameFile(it->Backup, it->Path).Ok) left.push_back(it->Path);
                    break;
            }
        } catch (...) {
            left.push_back(it->Path);
        }
    }
    steps_.clear();
    return left;
}

void TInstallJournal::Commit(IInstallSystem& system) noexcept {
    for (const TStep& step : steps_) {
        try {
            if (step.Kind == TKind::Replaced) system.RemoveFile(step.Backup);
        } catch (...) {
            // A backup that stays is a file too many, not a loss.
        }
    }
    steps_.clear();
}

}  // namespace zub
