// The installation's machine on Windows: the file system through the A
// functions, the shell's folders and links, the uninstall entry, and the
// copying page's label and progress bar.
#pragma once

#include <windows.h>

#include <string>

#include "setup/install_system.h"
#include "ui/controls_win.h"

namespace zub {

// Whether a folder is there, with the critical-error dialogs off (so an empty
// drive does not ask for a disk) and the previous mode restored: a drive root
// ("X:\") by the drive's bit in GetLogicalDrives, anything else, with one
// trailing backslash removed, by a find-first search that must find a
// directory. A name with wildcards never counts as present.
bool IsFolderPresent(const std::string& path);

class TWin32InstallSystem : public IInstallSystem {
public:
    // `owner` owns the shell's windows and dialogs (the wizard form).
    explicit TWin32InstallSystem(HWND owner) : owner_(owner) {}

    bool FileExists(const std::string& path) override;
    bool IsFolderPresent(const std::string& path) override { return zub::IsFolderPresent(path); }
    int CreateDir(const std::string& path) override;
    int CreateInstallationDir(const std::string& path) override;
    TCopyResult CopyFile(const std::string& source, const std::string& target,
                         const std::function<void()>& pump) override;
    bool RemoveFile(const std::string& path) override;
    TCopyResult RenameFile(const std::string& from, const std::string& to) override;
    bool RemoveDir(const std::string& path) override;

    std::string ProgramsFolder() override;
    std::string DesktopFolder() override;
    std::string ProgramFilesFolder() override;
    std::string WindowsFolder() override;
    std::string Today() override;
    bool CreateShortcut(const std::string& linkFile, const TShortcut& link) override;
    bool RunsElevated() override;
    TStartResult StartAsDesktopUser(const std::string& file, const std::string& parameters,
                                    const std::string& folder) override;
    TStartResult ShellOpen(const std::string& file, const std::string& parameters) override;
    void SetCurrentDir(const std::string& path) override;

    void WriteUninstallEntry(const TUninstallEntry& entry) override;

private:
    HWND owner_;
};

// The copying page: its label and progress bar, the form's messages, and the
// question box. While the run goes on, mouse and keyboard input to the form
// and its controls, and a posted WM_CLOSE, are dropped; paint, timer and other
// messages are handled.
class TCopyPageWin : public ICopyPage {
public:
    // `caption` titles the question box.
    TCopyPageWin(HWND form, TLabel& label, TProgressBar& progress, std::string caption);

    void SetCopyMessage(const std::string& text) override;
    void SetProgress(int position) override;
    void ProcessMessages() override;
    bool AskRetry(const std::string& question) override;

private:
    bool BelongsToForm(HWND window) const;

    HWND form_;
    TLabel& label_;
    TProgressBar& progress_;
    std::string caption_;
};

}  // namespace zub
