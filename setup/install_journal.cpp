#include "setup/install_journal.h"

#include <algorithm>

#include "base/error.h"
#include "base/strings.h"
#include "setup/install_system.h"

namespace zub {
namespace {

// The system's code for a name that is not a valid file name.
constexpr int kInvalidNameCode = 123;

// Backup names tried before the earlier file counts as impossible to move aside.
constexpr int kBackupNames = 100;

std::vector<std::string> NameParts(const std::string& relative) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : relative + "\\") {
        if (c != '\\' && c != '/') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    return parts;
}

}  // namespace

std::vector<std::string> CreateFolderLevels(IInstallSystem& system, const std::string& root,
                                            const std::string& relative) {
    std::vector<std::string> made;
    const auto fail = [&](int code) {
        for (auto it = made.rbegin(); it != made.rend(); ++it) system.RemoveDir(*it);
        throw IoError(code);
    };
    std::string level = !root.empty() && root.back() == '\\' ? root.substr(0, root.size() - 1) : root;
    for (const std::string& part : NameParts(relative)) {
        // "." and ".." would lead out of the root instead of below it.
        if (part == "." || part == "..") fail(kInvalidNameCode);
        level += "\\" + part;
        if (system.IsFolderPresent(level)) continue;
        if (int code = system.CreateDir(level)) fail(code);
        made.push_back(level);
    }
    return made;
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
