// The uninstaller's texts in English and German (Windows-1252).
#pragma once

#include <string>
#include <vector>

#include "base/language.h"
#include "uninstall/removal_plan.h"
#include "uninstall/setup_log_reader.h"

namespace zub {

// The name a program is called by: the log's NAME, else its key name, else
// a neutral word.
std::string ProgramName(TLanguage language, const TSetupLog& log);

std::string UninstallCaption(TLanguage language);

// "Do you want to remove NAME and all of its components?"
std::string QuestionText(TLanguage language, const std::string& name);

// "NAME was removed." or "NAME was removed, except:" with one line per
// problem; then, when the uninstall entry is kept, what to do to finish; and
// what a restart removes.
std::string ResultText(TLanguage language, const std::string& name, const std::vector<TProblemItem>& problems,
                       const std::vector<std::string>& atRestart = {});

// The question for a file that cannot be removed: it names the file and asks
// to close the program and choose Retry, or Skip. And the two buttons.
std::string RetryText(TLanguage language, const std::string& path);
std::string RetryButtonText(TLanguage language);
std::string SkipButtonText(TLanguage language);

// One problem: what it concerns and why it stayed.
std::string ProblemText(TLanguage language, const TProblemItem& item);

// A log that cannot be used: which file, what is wrong, and that nothing was removed.
std::string LogErrorText(TLanguage language, const std::string& logPath, const TSetupLogError& error);

}  // namespace zub
