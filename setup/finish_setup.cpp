#include "setup/finish_setup.h"

#include "setup/install_run.h"

namespace zub {

void FinishSetup(const TSetupData& data, TSetupLogBook& logBook, const TFinishChoices& choices,
                 IInstallSystem& system, TInstallJournal& journal) {
    const std::string& dest = data.Destination;
    const std::string& title = data.RazederodezTitle;

    // Without a desktop folder there is no place for the shortcut, and no entry.
    std::string desktop = choices.DesktopIcon ? system.DesktopFolder() : std::string();
    if (!desktop.empty()) {
        if (desktop.back() != '\\') desktop += '\\';
        const std::string linkFile = desktop + title + ".lnk";
        // An earlier shortcut that cannot be moved aside is left as it is.
        if (!journal.BeforeWrite(system, linkFile).Ok) desktop.clear();
    }
    if (!desktop.empty()) {
        const std::string linkFile = desktop + title + ".lnk";
        (void)system.CreateShortcut(linkFile, {dest + "\\" + data.TargetFile, "", dest, title, 1});
        // Run again after a failed registry or log step, the shortcut is
        // replaced, not listed twice.
        const std::string entry = "LINK=" + linkFile;
        if (logBook.Lines.empty() || logBook.Lines.front() != entry) logBook.AddLinkEntry(linkFile);
    }

    logBook.LogFileName = dest + "\\setup.log";
    logBook.UninstallKeyName = ChooseUninstallKeyName(title, data.TargetFile);
    logBook.DisplayName = title;
    if (!journal.BeforeWrite(system, logBook.LogFileName).Ok) throw CreateFileError(logBook.LogFileName);
    logBook.SaveLog();
    system.WriteUninstallEntry(logBook);
    journal.Commit(system);

    // Only what was installed is started: Notepad would offer to create a
    // missing read-me, and an empty or missing program name would open a
    // folder window or an error box instead of the program.
    const std::string readMe = dest + "\\" + data.ReadMe;
    if (choices.ViewReadMe && system.FileExists(readMe)) system.ShellOpen(NotepadPath(system.WindowsFolder()), readMe);
    const std::string program = dest + "\\" + data.TargetFile;
    if (choices.LaunchProg && system.FileExists(program)) {
        // The program starts in its own folder.
        system.SetCurrentDir(dest);
        system.ShellOpen(program, "");
    }
}

}  // namespace zub
