#include "uninstall/removal_plan.h"

#include <algorithm>
#include <cctype>

#include "base/file.h"
#include "base/strings.h"
#include "base/path_rules.h"
#include "formats/log_book.h"
#include "uninstall/removal_places.h"

namespace zub {
namespace {

bool IsDriveLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 128;
}

std::vector<std::string> SplitComponents(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\\', start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A component Windows would read as something else: "." and "..", trailing
// dots and blanks (which it strips), and stream names after ":".
bool IsPlainComponent(const std::string& part) {
    return part != "." && part != ".." && part.back() != '.' && part.back() != ' ' &&
           part.find(':') == std::string::npos;
}

// Why an entry whose path is not usable is passed over.
TRemovalProblem ProblemOf(TPathVerdict verdict) {
    switch (verdict) {
        case TPathVerdict::NotAbsolute: return TRemovalProblem::NotAbsolute;
        case TPathVerdict::NotPlain: return TRemovalProblem::NotPlain;
        case TPathVerdict::DriveRoot: return TRemovalProblem::DriveRoot;
        case TPathVerdict::SystemFolder: return TRemovalProblem::SystemFolder;
        case TPathVerdict::Usable: break;
    }
    return TRemovalProblem::UnknownLine;
}

}  // namespace

std::string ComparablePath(const std::string& path) {
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '/', '\\');
    const bool network = StartsWith(slashed, "\\\\");
    std::string result = network ? "\\\\" : "";
    for (char c : slashed.substr(network ? 2 : 0))
        if (c != '\\' || (!result.empty() && result.back() != '\\')) result += c;
    while (result.size() > (network ? 2u : 0u) && result.back() == '\\') result.pop_back();
    return LowerAscii(result);
}

TPathVerdict ClassifyPath(const std::string& path, const std::vector<std::string>& systemFolders) {
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '/', '\\');
    if (std::any_of(slashed.begin(), slashed.end(), [](char c) {
            return static_cast<unsigned char>(c) < ' ' || std::string_view("*?\"<>|").find(c) != std::string_view::npos;
        }))
        return TPathVerdict::NotPlain;
    // The components after "X:\", or after "\\" of which the server and the
    // share make the root.
    std::vector<std::string> parts;
    size_t rootParts = 0;
    if (slashed.size() >= 3 && IsDriveLetter(slashed[0]) && slashed[1] == ':' && slashed[2] == '\\') {
        parts = SplitComponents(slashed.substr(3));
    } else if (StartsWith(slashed, "\\\\")) {
        if (StartsWith(slashed, "\\\\?\\") || StartsWith(slashed, "\\\\.\\")) return TPathVerdict::NotPlain;
        parts = SplitComponents(slashed.substr(2));
        if (parts.empty()) return TPathVerdict::NotAbsolute;
        rootParts = 2;
    } else {
        return TPathVerdict::NotAbsolute;
    }
    if (!std::all_of(parts.begin(), parts.end(), IsPlainComponent)) return TPathVerdict::NotPlain;
    if (parts.size() <= rootParts) return TPathVerdict::DriveRoot;
    const std::string comparable = ComparablePath(slashed);
    for (const std::string& folder : systemFolders)
        if (!Trim(folder).empty() && ComparablePath(folder) == comparable) return TPathVerdict::SystemFolder;
    return TPathVerdict::Usable;
}

std::vector<TRemovalStep> MakeRemovalPlan(const TSetupLog& log, const TRemovalContext& context) {
    struct TItem {
        int Line;
        const TSetupLogEntry* Entry;  // or
        const TUnusableLogLine* Unusable;
    };
    std::vector<TItem> items;
    for (const TSetupLogEntry& entry : log.Entries) items.push_back({entry.Line, &entry, nullptr});
    for (const TUnusableLogLine& line : log.Unusable) items.push_back({line.Line, nullptr, &line});
    std::stable_sort(items.begin(), items.end(), [](const TItem& a, const TItem& b) { return a.Line < b.Line; });

    const TRemovalPlaces places{ExtractFilePath(context.SelfPath), context.ProgramsFolders, context.Desktops};
    bool refused = false;  // an entry that names a place it may not: the log keeps it
    std::vector<TRemovalStep> plan;
    for (const TItem& item : items) {
        if (item.Unusable) {
            plan.push_back({TStepAction::Skip, item.Unusable->Text, item.Line, TRemovalProblem::UnknownLine});
            continue;
        }
        const TSetupLogEntry& entry = *item.Entry;
        const TPathVerdict verdict = ClassifyPath(entry.Path, context.SystemFolders);
        if (verdict != TPathVerdict::Usable) {
            plan.push_back({TStepAction::Skip, entry.Path, entry.Line, ProblemOf(verdict)});
            continue;
        }
        std::string base;
        const TPlaceVerdict place = PlaceOf(entry.Kind, entry.Path, places, base);
        if (place != TPlaceVerdict::Allowed) {
            refused = true;
            const TRemovalProblem why = place == TPlaceVerdict::NotAShortcut ? TRemovalProblem::NotAShortcut
                                                                           : TRemovalProblem::OutsideInstallation;
            plan.push_back({TStepAction::Skip, entry.Path, entry.Line, why});
            continue;
        }
        const TStepAction action =
            entry.Kind == TLogEntryKind::Directory ? TStepAction::RemoveFolder : TStepAction::RemoveFile;
        plan.push_back({action, entry.Path, entry.Line, TRemovalProblem::UnknownLine, base});
    }
    // An empty or blank key name would make the Uninstall key itself the one removed.
    if (IsSoundUninstallKeyName(log.KeyName))
        plan.push_back({TStepAction::RemoveKey, log.KeyName, 3});
    else
        plan.push_back({TStepAction::Skip, log.KeyName, 3, TRemovalProblem::BadKeyName});
    if (refused)
        plan.push_back({TStepAction::Skip, context.LogPath, 0, TRemovalProblem::LogKept});
    else
        plan.push_back({TStepAction::RemoveLog, context.LogPath, 0});
    return plan;
}

IUninstallMachine::TResult TFileSystemMachine::RemoveFile(const std::string& path) {
    if (!fs::FileExists(path)) return fs::PathExists(path) ? TResult::Failed : TResult::Absent;
    // A read-only file (copied from a read-only source) goes too.
    fs::SetReadOnly(path, false);
    return fs::RemoveFile(path) ? TResult::Removed : TResult::Failed;
}

IUninstallMachine::TKind TFileSystemMachine::KindOf(const std::string& path) {
    if (fs::DirectoryExists(path)) return TKind::Folder;
    return fs::PathExists(path) ? TKind::File : TKind::None;
}

std::vector<std::string> TFileSystemMachine::FolderEntries(const std::string& path) {
    std::vector<std::string> names;
    for (const fs::DirEntry& entry : fs::ListDirectory(path)) names.push_back(entry.name);
    return names;
}

IUninstallMachine::TResult TFileSystemMachine::RemoveEmptyFolder(const std::string& path) {
    if (!fs::DirectoryExists(path)) return TResult::Absent;
    return fs::RemoveDir(path) ? TResult::Removed : TResult::Failed;
}

bool TFileSystemMachine::ReplaceLog(const std::string& path, const std::string& text) {
    // A fresh name beside the log: never a file or link someone put there beforehand.
    for (int n = 1; n < 100; ++n) {
        const std::string fresh = path + "." + std::to_string(n) + ".new";
        fs::File file = fs::File::CreateNew(fresh);
        if (!file.IsOpen()) {
            if (fs::PathExists(fresh) || fs::IsLink(fresh)) continue;
            return false;
        }
        try {
            file.Write(text.data(), text.size());
            file.Close();
        } catch (const std::exception&) {
            file.Close();
            fs::RemoveFile(fresh);
            return false;
        }
        if (fs::RenameReplacing(fresh, path)) return true;
        fs::RemoveFile(fresh);
        return false;
    }
    return false;
}

}  // namespace zub
