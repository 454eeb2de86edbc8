// The uninstaller's texts in English and German (Windows-1252).
#pragma once

#include <string>
#include <vector>

#include "uninstall/removal_plan.h"
#include "uninstall/setup_log_reader.h"

namespace zub {

enum class TUninstallLanguage { English, German };

// German when the primary language of the user's interface is German
// (LANG_GERMAN, 0x07), English otherwise.
TUninstallLanguage UninstallLanguageOf(unsigned primaryLanguageId);

// The name a program is called by: the log's NAME, else its key name, else
// a neutral word.
std::string ProgramName(TUninstallLanguage language, const TSetupLog& log);

std::string UninstallCaption(TUninstallLanguage language);

// "Do you want to remove NAME and all of its components?"
std::string QuestionText(TUninstallLanguage language, const std::string& name);

// "NAME was removed." or "NAME was removed, except:" with one line per
// problem; then, when the uninstall entry is kept, what to do to finish; and
// what a restart removes.
std::string ResultText(TUninstallLanguage language, const std::string& name, const std::vector<TProblemItem>& problems,
                       const std::vector<std::string>& atRestart = {});

// The question for a file that cannot be removed: it names the file and asks
// to close the program and choose Retry, or Skip. And the two buttons.
std::string RetryText(TUninstallLanguage language, const std::string& path);
std::string RetryButtonText(TUninstallLanguage language);
std::string SkipButtonText(TUninstallLanguage language);

// One problem: what it concerns and why it stayed.
std::string ProblemText(TUninstallLanguage language, const TProblemItem& item);

// A log that cannot be used: which file, what is wrong, and that nothing was removed.
std::string LogErrorText(TUninstallLanguage language, const std::string& logPath, const TSetupLogError& error);

}  // namespace zub
