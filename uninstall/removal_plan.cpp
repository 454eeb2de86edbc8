#include "uninstall/removal_plan.h"

#include <algorithm>
#include <cctype>
#include <set>

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
        switch (ClassifyPath(entry.Path, context.SystemFolders)) {
            case TPathVerdict::Usable: {
                std::string base;
                const TPlaceVerdict place = PlaceOf(entry.Kind, entry.Path, places, base);
                if (place != TPlaceVerdict::Allowed) {
                    refused = true;
                    const TRemovalProblem why = place == TPlaceVerdict::NotAShortcut
                                                    ? TRemovalProblem::NotAShortcut
                                                    : TRemovalProblem::OutsideInstallation;
                    plan.push_back({TStepAction::Skip, entry.Path, entry.Line, why});
                    break;
                }
                const TStepAction action =
                    entry.Kind == TLogEntryKind::Directory ? TStepAction::RemoveFolder : TStepAction::RemoveFile;
                plan.push_back({action, entry.Path, entry.Line, TRemovalProblem::UnknownLine, base});
                break;
            }
            case TPathVerdict::NotAbsolute:
                plan.push_back({TStepAction::Skip, entry.Path, entry.Line, TRemovalProblem::NotAbsolute});
                break;
            case TPathVerdict::NotPlain:
                plan.push_back({TStepAction::Skip, entry.Path, entry.Line, TRemovalProblem::NotPlain});
                break;
            case TPathVerdict::DriveRoot:
                plan.push_back({TStepAction::Skip, entry.Path, entry.Line, TRemovalProblem::DriveRoot});
                break;
            case TPathVerdict::SystemFolder:
                plan.push_back({TStepAction::Skip, entry.Path, entry.Line, TRemovalProblem::SystemFolder});
                break;
        }
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

namespace {

// Runs a plan; `later_` holds what goes only after the uninstaller has ended
// (itself and the log), and the folders that hold nothing else.
class TRemovalRun {
public:
    TRemovalRun(const TRemovalContext& context, IUninstallMachine& machine)
        : machine_(machine), later_{ComparablePath(context.SelfPath), ComparablePath(context.LogPath)} {}

    TRemovalOutcome Run(const std::vector<TRemovalStep>& plan) {
        for (const TRemovalStep& step : plan) Step(step);
        return std::move(outcome_);
    }

private:
    using TResult = IUninstallMachine::TResult;

    void Problem(TRemovalProblem why, const TRemovalStep& step) {
        outcome_.Problems.push_back({why, step.Path, step.Line});
    }
    bool IsLater(const std::string& path) const { return later_.count(ComparablePath(path)) != 0; }

    void Step(const TRemovalStep& step) {
        switch (step.Action) {
            case TStepAction::Skip: Problem(step.Why, step); break;
            case TStepAction::RemoveFile:
                if (IsLater(step.Path)) break;
                if (PassesThroughLink(step)) break;
                if (machine_.RemoveFile(step.Path) == TResult::Failed) Problem(TRemovalProblem::FileNotRemoved, step);
                break;
            case TStepAction::RemoveFolder:
                if (!PassesThroughLink(step)) Folder(step);
                break;
            case TStepAction::RemoveKey:
                if (machine_.RemoveUninstallKey(step.Path) == TResult::Failed)
                    Problem(TRemovalProblem::KeyNotRemoved, step);
                break;
            case TStepAction::RemoveLog:
                if (machine_.RemoveFile(step.Path) == TResult::Failed) Problem(TRemovalProblem::LogNotRemoved, step);
                break;
        }
    }

    // A folder between the allowing folder and the entry that is a link
    // would make the removal land wherever it points.
    bool PassesThroughLink(const TRemovalStep& step) {
        for (std::string parent = FolderOf(step.Path); !step.Base.empty() && IsPathInside(parent, step.Base);
             parent = FolderOf(parent)) {
            if (machine_.KindOf(parent) == IUninstallMachine::TKind::Link) {
                Problem(TRemovalProblem::ThroughLink, step);
                return true;
            }
        }
        return false;
    }
    static std::string FolderOf(const std::string& path) {
        std::string folder = ExtractFilePath(path);
        while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
        return folder;
    }

    // A recorded folder goes when it holds no file: the setup makes
    // sub-folders for files in them (Additional\docs) without recording them,
    // so empty folders inside go with it. A file anywhere keeps it all.
    void Folder(const TRemovalStep& step) {
        const IUninstallMachine::TKind kind = machine_.KindOf(step.Path);
        if (kind == IUninstallMachine::TKind::None) return;
        if (kind != IUninstallMachine::TKind::Folder) {
            Problem(TRemovalProblem::FolderNotRemoved, step);
            return;
        }
        if (HoldsFiles(step.Path)) {
            Problem(TRemovalProblem::FolderNotEmpty, step);
            return;
        }
        if (!RemoveTree(step.Path)) Problem(TRemovalProblem::FolderNotRemoved, step);
    }

    bool HoldsFiles(const std::string& folder) {
        for (const std::string& name : machine_.FolderEntries(folder)) {
            const std::string path = folder + "\\" + name;
            if (IsLater(path)) continue;
            if (machine_.KindOf(path) != IUninstallMachine::TKind::Folder || HoldsFiles(path)) return true;
        }
        return false;
    }

    // Removes a folder that holds no file but those that go later, bottom up;
    // a folder that holds such a file goes later too. False on a failure.
    bool RemoveTree(const std::string& folder) {
        bool laterInside = false;
        for (const std::string& name : machine_.FolderEntries(folder)) {
            const std::string path = folder + "\\" + name;
            if (IsLater(path)) {
                laterInside = true;
            } else if (!RemoveTree(path)) {
                return false;
            } else {
                laterInside = laterInside || IsLater(path);
            }
        }
        if (laterInside) {
            later_.insert(ComparablePath(folder));
            outcome_.FoldersAfterExit.push_back(folder);
            return true;
        }
        return machine_.RemoveEmptyFolder(folder) != TResult::Failed;
    }

    IUninstallMachine& machine_;
    std::set<std::string> later_;
    TRemovalOutcome outcome_;
};

}  // namespace

TRemovalOutcome RunRemovalPlan(const std::vector<TRemovalStep>& plan, const TRemovalContext& context,
                               IUninstallMachine& machine) {
    return TRemovalRun(context, machine).Run(plan);
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

}  // namespace zub
