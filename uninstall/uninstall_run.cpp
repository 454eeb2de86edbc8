#include "uninstall/uninstall_run.h"

#include <algorithm>

namespace zub {

TUninstallResult RunUninstall(const TRemovalContext& context, IUninstallMachine& machine, IUninstallUser* user,
                              TUninstallLanguage language) {
    TUninstallResult result;
    const std::string caption = UninstallCaption(language);
    TSetupLog log;
    try {
        log = ReadSetupLog(context.LogPath);
    } catch (const TSetupLogError& e) {
        if (user) user->Tell(caption, LogErrorText(language, context.LogPath, e), true);
        result.ExitCode = kUninstallNoLog;
        return result;
    }
    const std::string name = ProgramName(language, log);
    if (user && !user->Ask(caption, QuestionText(language, name))) {
        result.ExitCode = kUninstallDeclined;
        return result;
    }
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(log, context), context, machine);
    result.ExitCode = outcome.Problems.empty() ? kUninstallDone : kUninstallIncomplete;
    // Without its log the uninstaller has nothing left to do; with it, it stays for another try.
    result.RemoveSelfAfterExit =
        std::none_of(outcome.Problems.begin(), outcome.Problems.end(),
                     [](const TProblemItem& p) { return p.Problem == TRemovalProblem::LogNotRemoved; });
    if (result.RemoveSelfAfterExit) result.FoldersAfterExit = outcome.FoldersAfterExit;
    if (user) user->Tell(caption, ResultText(language, name, outcome.Problems), !outcome.Problems.empty());
    return result;
}

}  // namespace zub
