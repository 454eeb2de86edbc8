// Running a removal plan over IUninstallMachine: what goes now, what goes
// after the uninstaller has ended, what is left to the next restart, and
// what stays for a second run.
#include <algorithm>
#include <set>

#include "base/path_rules.h"
#include "base/strings.h"
#include "uninstall/removal_places.h"
#include "uninstall/removal_plan.h"

namespace zub {

namespace {

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
    const std::string wanted = ComparablePath(path);
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return ComparablePath(p) == wanted; });
}

bool Arrange(const std::string& path, const TRemovalContext& context, IUninstallMachine& machine) {
    return MayRemoveAtRestart(path, context.RestartFolders) && machine.RemoveAtRestart(path);
}

}  // namespace

bool LeaveForRestart(const std::string& path, const TRemovalContext& context, IUninstallMachine& machine,
                     TRemovalOutcome& outcome) {
    if (!Arrange(path, context, machine)) return false;
    if (!Contains(outcome.AtRestart, path)) outcome.AtRestart.push_back(path);
    // Inner folders come first in both lists, and every folder after exit
    // lies inside any folder at the restart that holds it.
    std::vector<std::string> holders;
    for (const auto* folders : {&outcome.FoldersAfterExit, &outcome.AtRestart})
        for (const std::string& folder : *folders)
            if (IsPathInside(path, folder) && !Contains(holders, folder)) holders.push_back(folder);
    for (const std::string& folder : holders)
        if (Arrange(folder, context, machine) && !Contains(outcome.AtRestart, folder))
            outcome.AtRestart.push_back(folder);
    return true;
}

namespace {

// Runs a plan. `afterExit_` holds what goes only after the uninstaller has
// ended (itself and the log) and the folders that hold nothing else; the
// outcome's AtRestart what is left to the next restart and its folders.
class TRemovalRun {
public:
    TRemovalRun(const TRemovalContext& context, IUninstallMachine& machine, const TRetryQuestion& retry)
        : context_(context),
          machine_(machine),
          retry_(retry),
          afterExit_{ComparablePath(context.SelfPath), ComparablePath(context.LogPath)} {}

    TRemovalOutcome Run(const std::vector<TRemovalStep>& plan) {
        for (const TRemovalStep& step : plan) Step(step);
        for (const TRemovalStep& step : plan)
            if (Stayed(step)) outcome_.StayedLines.push_back(step.Line);
        return std::move(outcome_);
    }

private:
    using TResult = IUninstallMachine::TResult;
    using TKind = IUninstallMachine::TKind;

    void Problem(TRemovalProblem why, const TRemovalStep& step) {
        outcome_.Problems.push_back({why, step.Path, step.Line});
    }
    bool IsAfterExit(const std::string& path) const { return afterExit_.count(ComparablePath(path)) != 0; }
    bool IsAtRestart(const std::string& path) const { return Contains(outcome_.AtRestart, path); }
    bool IsLater(const std::string& path) const { return IsAfterExit(path) || IsAtRestart(path); }

    void Step(const TRemovalStep& step) {
        switch (step.Action) {
            case TStepAction::Skip:
                Problem(step.Why, step);
                if (step.Why == TRemovalProblem::LogKept) outcome_.RewriteLog = true;
                break;
            case TStepAction::RemoveFile:
                if (IsAfterExit(step.Path) || PassesThroughLink(step)) break;
                File(step);
                break;
            case TStepAction::RemoveFolder:
                if (!PassesThroughLink(step)) Folder(step);
                break;
            case TStepAction::RemoveKey:
                // What stays needs the entry to be run again from.
                if (stuck_)
                    Problem(TRemovalProblem::KeyKept, step);
                else if (machine_.RemoveUninstallKey(step.Path) == TResult::Failed)
                    Problem(TRemovalProblem::KeyNotRemoved, step);
                break;
            case TStepAction::RemoveLog:
                if (stuck_) {
                    Problem(TRemovalProblem::LogKept, step);
                    outcome_.RewriteLog = true;
                } else if (machine_.RemoveFile(step.Path) == TResult::Failed && !LeaveForRestart(step.Path)) {
                    Problem(TRemovalProblem::LogNotRemoved, step);
                }
                break;
        }
    }

    // An entry still there after the run; lines that are no entries do not count.
    bool Stayed(const TRemovalStep& step) {
        switch (step.Action) {
            case TStepAction::RemoveFile:
            case TStepAction::RemoveFolder: return machine_.KindOf(step.Path) != TKind::None;
            case TStepAction::Skip:
                return step.Why != TRemovalProblem::UnknownLine && step.Why != TRemovalProblem::BadKeyName &&
                       step.Why != TRemovalProblem::LogKept;
            default: return false;
        }
    }

    // A file in use may be let go of while the user is asked; what still
    // stays goes at the restart, or else keeps the log and the entry.
    void File(const TRemovalStep& step) {
        TResult result = machine_.RemoveFile(step.Path);
        while (result == TResult::Failed && retry_ && retry_(step.Path)) result = machine_.RemoveFile(step.Path);
        if (result != TResult::Failed || LeaveForRestart(step.Path)) return;
        Problem(TRemovalProblem::FileNotRemoved, step);
        stuck_ = true;
    }

    bool LeaveForRestart(const std::string& path) { return zub::LeaveForRestart(path, context_, machine_, outcome_); }

    // A folder between the allowing folder and the entry that is a link
    // would make the removal land wherever it points.
    bool PassesThroughLink(const TRemovalStep& step) {
        for (std::string parent = FolderOf(step.Path); !step.Base.empty() && IsPathInside(parent, step.Base);
             parent = FolderOf(parent)) {
            if (machine_.KindOf(parent) == TKind::Link) {
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
        const TKind kind = machine_.KindOf(step.Path);
        if (kind == TKind::None) return;
        if (kind != TKind::Folder) {
            Problem(TRemovalProblem::FolderNotRemoved, step);
            return;
        }
        if (HoldsFiles(step.Path)) {
            Problem(TRemovalProblem::FolderNotEmpty, step);
            return;
        }
        if (!RemoveTree(step.Path)) {
            Problem(TRemovalProblem::FolderNotRemoved, step);
            stuck_ = true;
        }
    }

    bool HoldsFiles(const std::string& folder) {
        for (const std::string& name : machine_.FolderEntries(folder)) {
            const std::string path = folder + "\\" + name;
            if (IsLater(path)) continue;
            if (machine_.KindOf(path) != TKind::Folder || HoldsFiles(path)) return true;
        }
        return false;
    }

    // Removes a folder that holds no file but those that go later, bottom up.
    // One that holds what goes at the restart goes at the restart, one that
    // holds what goes after the end goes then; one the system does not let
    // go now (in use) is left to the restart. False when it stays.
    bool RemoveTree(const std::string& folder) {
        bool afterExit = false, atRestart = false;
        for (const std::string& name : machine_.FolderEntries(folder)) {
            const std::string path = folder + "\\" + name;
            if (!IsLater(path) && !RemoveTree(path)) return false;
            afterExit = afterExit || IsAfterExit(path);
            atRestart = atRestart || IsAtRestart(path);
        }
        if (atRestart) return LeaveForRestart(folder);
        if (afterExit) {
            afterExit_.insert(ComparablePath(folder));
            outcome_.FoldersAfterExit.push_back(folder);
            return true;
        }
        return machine_.RemoveEmptyFolder(folder) != TResult::Failed || LeaveForRestart(folder);
    }

    const TRemovalContext& context_;
    IUninstallMachine& machine_;
    const TRetryQuestion& retry_;
    std::set<std::string> afterExit_;
    bool stuck_ = false;  // something stays that neither goes now nor at the restart
    TRemovalOutcome outcome_;
};

}  // namespace

TRemovalOutcome RunRemovalPlan(const std::vector<TRemovalStep>& plan, const TRemovalContext& context,
                               IUninstallMachine& machine, const TRetryQuestion& retry) {
    return TRemovalRun(context, machine, retry).Run(plan);
}

}  // namespace zub
