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
    kUninstallIncomplete = 3,  // something could not be removed
};

// The user, when there is one.
class IUninstallUser {
public:
    virtual ~IUninstallUser() = default;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const std::string& caption, const std::string& text) = 0;
    virtual void Tell(const std::string& caption, const std::string& text, bool problem) = 0;
};

struct TUninstallResult {
    int ExitCode = kUninstallNoLog;
    // Once the uninstaller has ended: remove SelfPath, then these folders.
    bool RemoveSelfAfterExit = false;
    std::vector<std::string> FoldersAfterExit;
};

// Reads context.LogPath; asks `user` (none: silent, no question and no
// message); removes; tells the outcome.
TUninstallResult RunUninstall(const TRemovalContext& context, IUninstallMachine& machine, IUninstallUser* user,
                              TUninstallLanguage language);

}  // namespace zub
