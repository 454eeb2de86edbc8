// The uninstaller's user: the system's message boxes. Their own buttons (Yes
// and No) come in the language of the user's interface, the one the texts are
// chosen by (base/language_win.h); Retry and Skip are the texts' own.
#pragma once

#include <windows.h>

#include <string>

#include "uninstall/uninstall_run.h"

namespace zub {

class TMessageBoxUser : public IUninstallUser {
public:
    TMessageBoxUser() : system_(GetUserDefaultUILanguage()) {}
    // Yes and No, or Ja and Nein.
    bool Ask(const std::string& caption, const std::string& text) override;
    void Tell(const std::string& caption, const std::string& text, bool problem) override;
    // Retry and Cancel, both relabelled (the system's boxes know no Skip):
    // Esc and the close box skip too.
    bool AskRetry(const std::string& caption, const std::string& text, const std::string& retry,
                  const std::string& skip) override;

private:
    LANGID system_;  // the system's language for the buttons it labels
};

}  // namespace zub
