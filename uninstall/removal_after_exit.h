// What the uninstaller's clean-up copy removes once the uninstaller has
// ended (uninstall/cleanup_copy_win.h): the uninstaller's file, then the
// folders that held nothing else, and what was left to the next restart
// but may go now (the program was closed meanwhile).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "uninstall/removal_plan.h"

namespace zub {

// Removes `uninstaller`, trying again while `waitAMoment` says so (the
// system may hold a program's image a moment after its end), then `after`
// in their order: a folder when empty, a file only below `restartFolders`
// (only what was left to the restart is a file there). A folder that cannot
// go now, and the uninstaller, go at the restart where MayRemoveAtRestart
// allows it; the folders that hold the uninstaller are then arranged after it.
void FinishAfterExit(const std::string& uninstaller, const std::vector<std::string>& after,
                     const std::vector<std::string>& restartFolders, IUninstallMachine& machine,
                     const std::function<bool()>& waitAMoment);

}  // namespace zub
