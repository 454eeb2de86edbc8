// The uninstaller's machine on Windows: the file layer, and the uninstall
// entry below HKEY_LOCAL_MACHINE.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "uninstall/removal_plan.h"

namespace zub {

class TWin32UninstallMachine : public TFileSystemMachine {
public:
    TResult RemoveUninstallKey(const std::string& keyName) override;
    // Through a copy of the program in the temporary directory.
    bool RemoveAfterExit(const std::string& self, const std::vector<std::string>& after) override;
    // MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT, which needs administrator rights.
    bool RemoveAtRestart(const std::string& path) override;
    // Junctions and symbolic links are links, whatever they point at.
    TKind KindOf(const std::string& path) override;
};

// The platform's own folders, which no log entry may name: the Windows and
// system folders, the program-files folders, the user's profile, the
// desktops, the Start menus and their Programs folders (the user's and
// everyone's). Folders the system does not know are left out.
std::vector<std::string> PlatformSystemFolders();
// The folders below which a removal may wait for the restart: the
// program-files folders (32- and 64-bit) and everyone's Start menu and desktop.
std::vector<std::string> PlatformRestartFolders();
// The folders of these CSIDL numbers that the system knows.
std::vector<std::string> PlatformFolders(std::initializer_list<int> csidls);

}  // namespace zub
