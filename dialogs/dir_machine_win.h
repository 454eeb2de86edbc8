// The directory tree's machine on Windows: the A functions of the file
// system, the shell's icons and names, and the user's locale.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "dialogs/dir_machine.h"

namespace zub {

class TWin32DirMachine : public TDirMachine {
public:
    uint32_t LogicalDrives() override;
    int DriveType(const std::string& root) override;
    bool VolumeInformation(const std::string& root, std::string& label, uint32_t& serial) override;
    std::unique_ptr<TFolderSearch> FindFirst(const std::string& pattern, TSearchEntry& first) override;
    bool PathAttributes(const std::string& path, uint32_t& attributes) override;
    std::string CurrentDirectory() override;
    std::string WindowsDirectory() override;
    unsigned SetErrorMode(unsigned mode) override;
    int ShellIcon(const std::string& path, bool open) override;
    std::string ShellDisplayName(const std::string& path) override;
    std::shared_ptr<TShellFolder> DrivesFolder() override;
    std::string UpperCase(const std::string& text) override;
    std::string LowerCase(const std::string& text) override;
    int CompareNoCase(const std::string& a, const std::string& b) override;
    int CompareCase(const std::string& a, const std::string& b) override;
    bool SameText(const std::string& a, const std::string& b) override;
};

// The system's small-icon image list, shared by every program: never destroy it.
HIMAGELIST SystemSmallImageList();

}  // namespace zub
