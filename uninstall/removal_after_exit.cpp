#include "uninstall/removal_after_exit.h"

#include "base/path_rules.h"
#include "uninstall/removal_places.h"

namespace zub {
namespace {

using TResult = IUninstallMachine::TResult;
using TKind = IUninstallMachine::TKind;

bool LeaveForRestart(const std::string& path, const std::vector<std::string>& restartFolders,
                     IUninstallMachine& machine) {
    return MayRemoveAtRestart(path, restartFolders) && machine.RemoveAtRestart(path);
}

}  // namespace

void FinishAfterExit(const std::string& uninstaller, const std::vector<std::string>& after,
                     const std::vector<std::string>& restartFolders, IUninstallMachine& machine,
                     const std::function<bool()>& waitAMoment) {
    TResult result = machine.RemoveFile(uninstaller);
    while (result == TResult::Failed && waitAMoment()) result = machine.RemoveFile(uninstaller);
    const bool uninstallerStays = result == TResult::Failed && LeaveForRestart(uninstaller, restartFolders, machine);
    for (const std::string& path : after) {
        switch (machine.KindOf(path)) {
            case TKind::File:
                if (MayRemoveAtRestart(path, restartFolders)) machine.RemoveFile(path);
                break;
            case TKind::Folder:
                // A folder that holds the uninstaller goes after it at the restart.
                if (uninstallerStays && IsPathInside(uninstaller, path))
                    LeaveForRestart(path, restartFolders, machine);
                else if (machine.RemoveEmptyFolder(path) == TResult::Failed && machine.FolderEntries(path).empty())
                    LeaveForRestart(path, restartFolders, machine);
                break;
            case TKind::None:
            case TKind::Link: break;
        }
    }
}

}  // namespace zub
