// The uninstaller's user: the system's message boxes, with their buttons in
// the user's language.
#pragma once

#include <windows.h>

#include <string>

#include "uninstall/uninstall_run.h"

namespace zub {

class TMessageBoxUser : public IUninstallUser {
public:
    explicit TMessageBoxUser(LANGID language) : language_(language) {}
    // Yes and No, or Ja and Nein.
    bool Ask(const std::string& caption, const std::string& text) override;
    void Tell(const std::string& caption, const std::string& text, bool problem) override;
    // Retry and Cancel, both relabelled (the system's boxes know no Skip):
    // Esc and the close box skip too.
    bool AskRetry(const std::string& caption, const std::string& text, const std::string& retry,
                  const std::string& skip) override;

private:
    LANGID language_;
};

}  // namespace zub
