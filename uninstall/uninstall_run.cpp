#include "uninstall/uninstall_run.h"

#include <algorithm>

#include "formats/log_book.h"

namespace zub {
namespace {

// The log with only the entries that stayed, in their order.
std::string StayedLogText(const TSetupLog& log, const std::vector<int>& stayedLines) {
    TSetupLogBook book;
    book.DisplayName = log.Name;
    book.UninstallKeyName = log.KeyName;
    for (const TSetupLogEntry& entry : log.Entries)
        if (std::find(stayedLines.begin(), stayedLines.end(), entry.Line) != stayedLines.end())
            book.Lines.push_back(FormatLogEntry(entry.Kind, entry.Path));
    return book.LogText();
}

// The uninstaller goes once it has ended, through the machine, and with it
// its folders and what was left to the restart but may go by then; else it
// goes at the next restart. Whatever cannot go is listed.
void RemoveSelf(const TRemovalContext& context, IUninstallMachine& machine, TRemovalOutcome& outcome) {
    std::vector<std::string> after = outcome.FoldersAfterExit;
    after.insert(after.end(), outcome.AtRestart.begin(), outcome.AtRestart.end());
    if (machine.RemoveAfterExit(context.SelfPath, after)) return;
    if (!LeaveForRestart(context.SelfPath, context, machine, outcome)) {
        outcome.Problems.push_back({TRemovalProblem::FileNotRemoved, context.SelfPath, 0});
        for (const std::string& folder : outcome.FoldersAfterExit)
            outcome.Problems.push_back({TRemovalProblem::FolderNotEmpty, folder, 0});
        return;
    }
    for (const std::string& folder : outcome.FoldersAfterExit)
        if (std::find(outcome.AtRestart.begin(), outcome.AtRestart.end(), folder) == outcome.AtRestart.end())
            outcome.Problems.push_back({TRemovalProblem::FolderNotEmpty, folder, 0});
}

}  // namespace

int RunUninstall(const TRemovalContext& context, IUninstallMachine& machine, IUninstallUser* user,
                 TLanguage language) {
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

    TRetryQuestion retry;
    if (user)
        retry = [&](const std::string& path) {
            return user->AskRetry(caption, RetryText(language, path), RetryButtonText(language),
                                  SkipButtonText(language));
        };
    TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(log, context), context, machine, retry);
    // Should the rewrite fail, the log stays as it was: it lists more than stayed, never less.
    if (outcome.RewriteLog) machine.ReplaceLog(context.LogPath, StayedLogText(log, outcome.StayedLines));
    const bool logStays = outcome.RewriteLog ||
                          std::any_of(outcome.Problems.begin(), outcome.Problems.end(), [](const TProblemItem& p) {
                              return p.Problem == TRemovalProblem::LogNotRemoved;
                          });
    if (!logStays) RemoveSelf(context, machine, outcome);
    const bool complete = outcome.Problems.empty() && outcome.AtRestart.empty();
    if (user) user->Tell(caption, ResultText(language, name, outcome.Problems, outcome.AtRestart), !complete);
    return complete ? kUninstallDone : kUninstallIncomplete;
}

}  // namespace zub
