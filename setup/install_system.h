// What the installation run and the finishing actions need of the machine and
// of the copying page. The Win32 implementations are thin (install_system_win,
// copy_page_win); native tests run the same logic on a temporary folder with
// a fake shell and registry.
#pragma once

#include <functional>
#include <string>

namespace zub {

struct TUninstallEntry;

// What a shortcut file records. Icon and hotkey are never set by the setup.
struct TShortcut {
    std::string Target;
    std::string Arguments;
    std::string WorkingFolder;
    std::string Description;
    int ShowCommand = 1;  // normal window
};

// The outcome of one file copy: on failure the system's reason in words.
struct TCopyResult {
    bool Ok = false;
    std::string Reason;
};

// The outcome of starting a program: on failure the reason in words.
struct TStartResult {
    bool Ok = false;
    std::string Reason;
};

class IInstallSystem {
public:
    virtual ~IInstallSystem() = default;

    // File system.
    virtual bool FileExists(const std::string& path) = 0;
    // Whether a folder is there, without the platform's critical-error
    // dialogs (a drive root by the drive list, anything else by a search).
    virtual bool IsFolderPresent(const std::string& path) = 0;
    // Makes one folder level; 0 on success, else the system's error code.
    virtual int CreateDir(const std::string& path) = 0;
    // Makes one folder level that holds an installation: when the setup runs
    // elevated, with the rights the program files folder gives
    // (ProgramFilesAccess), protected from what its parent would hand down;
    // else as CreateDir (the user could not write into it otherwise). 0 on
    // success, else the system's error code; raises when the rights cannot
    // be given.
    virtual int CreateInstallationDir(const std::string& path) = 0;
    // Copies a file, replacing an existing target. `pump` is called now and
    // then while a large file copies, so the window stays responsive.
    virtual TCopyResult CopyFile(const std::string& source, const std::string& target,
                                 const std::function<void()>& pump) = 0;
    // Removes a file, a read-only one too.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Renames a file on its drive; fails when `to` exists (nothing is replaced).
    virtual TCopyResult RenameFile(const std::string& from, const std::string& to) = 0;
    // Removes an empty folder; fails (false) when it holds anything.
    virtual bool RemoveDir(const std::string& path) = 0;

    // Shell.
    // The current user's Start-menu Programs folder; "" when unknown.
    virtual std::string ProgramsFolder() = 0;
    // The current user's desktop folder; "" when unknown.
    virtual std::string DesktopFolder() = 0;
    // The program files folder; "" when unknown.
    virtual std::string ProgramFilesFolder() = 0;
    // The Windows folder, where Notepad lives; "" when unknown.
    virtual std::string WindowsFolder() = 0;
    // The day as YYYYMMDD, in local time.
    virtual std::string Today() = 0;
    // Writes a shortcut file, replacing an existing one; false when it could
    // not be saved (a bad name, a missing folder).
    virtual bool CreateShortcut(const std::string& linkFile, const TShortcut& link) = 0;
    // Whether the setup runs with administrator rights (an elevated token).
    virtual bool RunsElevated() = 0;
    // Starts `file` with the verb "open" (show command 5) and `parameters`
    // as the user whose desktop this is: through the desktop's own shell,
    // which runs with that user's rights, profile and environment, in
    // `folder` ("" for the shell's own). Not waiting for it. Fails, starting
    // nothing, when the desktop's shell cannot be asked.
    virtual TStartResult StartAsDesktopUser(const std::string& file, const std::string& parameters,
                                            const std::string& folder) = 0;
    // Starts `file` with the verb "open" (show command 5) from the setup
    // itself, with its rights and its current folder, not waiting for it.
    virtual TStartResult ShellOpen(const std::string& file, const std::string& parameters) = 0;
    virtual void SetCurrentDir(const std::string& path) = 0;

    // Registry: the application's entry in the list of installed programs.
    // Raises when the key cannot be opened or created or a value not written.
    virtual void WriteUninstallEntry(const TUninstallEntry& entry) = 0;
};

// The copying page as the run sees it: its label and progress bar (0 to 100),
// a hook that handles pending window messages, and the Retry/Cancel question.
class ICopyPage {
public:
    virtual ~ICopyPage() = default;
    virtual void SetCopyMessage(const std::string& text) = 0;
    virtual void SetProgress(int position) = 0;
    // Handles pending paint and system messages; input to the wizard's
    // buttons is dropped while the run is going on.
    virtual void ProcessMessages() = 0;
    // Shows `question` with Retry and Cancel; true for Retry.
    virtual bool AskRetry(const std::string& question) = 0;
};

}  // namespace zub
