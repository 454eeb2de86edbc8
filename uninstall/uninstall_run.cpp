#include "uninstall/uninstall_run.h"

#include <algorithm>

namespace zub {

int RunUninstall(const TRemovalContext& context, IUninstallMachine& machine, IUninstallUser* user,
                 TUninstallLanguage language) {
    const std::string caption = UninstallCaption(language);
    TSetupLog log;
    try {
        log = ReadSetupLog(context.LogPath);
    } catch (const TSetupLogError& e) {
        if (user) user->Tell(caption, LogErrorText(language, context.LogPath, e), true);
        return kUninstallNoLog;
    }
    const std::string name = ProgramName(language, log);
    if (user && !user->Ask(caption, QuestionText(language, name))) return kUninstallDeclined;

    TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(log, context), context, machine);
    const bool logStays = std::any_of(outcome.Problems.begin(), outcome.Problems.end(), [](const TProblemItem& p) {
        return p.Problem == TRemovalProblem::LogNotRemoved || p.Problem == TRemovalProblem::LogKept;
    });
    if (!logStays && !machine.RemoveAfterExit(context.SelfPath, outcome.FoldersAfterExit)) {
        // Arranged or not, the result says what will be left.
        outcome.Problems.push_back({TRemovalProblem::FileNotRemoved, context.SelfPath, 0});
        for (const std::string& folder : outcome.FoldersAfterExit)
            outcome.Problems.push_back({TRemovalProblem::FolderNotEmpty, folder, 0});
    }
    if (user) user->Tell(caption, ResultText(language, name, outcome.Problems), !outcome.Problems.empty());
    return outcome.Problems.empty() ? kUninstallDone : kUninstallIncomplete;
}

}  // namespace zub
