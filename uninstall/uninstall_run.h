// One run of the uninstaller, from reading setup.log to the final message,
// with the machine and the user behind interfaces.
#pragma once

#include <string>
#include <vector>

#include "uninstall/removal_plan.h"
#include "uninstall/uninstall_texts.h"

namespace zub {

// Exit codes of the uninstaller.
enum TUninstallExit : int {
    kUninstallDone = 0,        // everything removed
    kUninstallDeclined = 1,    // the user said no
    kUninstallNoLog = 2,       // no readable setup.log: nothing removed
    kUninstallIncomplete = 3,  // something stayed, or goes only at the next restart
};

// The user, when there is one.
class IUninstallUser {
public:
    virtual ~IUninstallUser() = default;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const std::string& caption, const std::string& text) = 0;
    virtual void Tell(const std::string& caption, const std::string& text, bool problem) = 0;
    // A question with the buttons `retry` and `skip`; true for `retry`.
    virtual bool AskRetry(const std::string& caption, const std::string& text, const std::string& retry,
                          const std::string& skip) = 0;
};

// Reads context.LogPath; asks `user` (none: silent, no question and no
// message), and asks again Retry or Skip for each file that cannot be
// removed; removes, and arranges the removal of the uninstaller and the
// folders that hold it once it has ended, or else at the next restart. When
// the log stays it is rewritten to list what stayed, and the uninstaller
// stays for another try. Tells the outcome; returns the exit code.
int RunUninstall(const TRemovalContext& context, IUninstallMachine& machine, IUninstallUser* user,
                 TLanguage language);

}  // namespace zub
