#include "setup/finish_setup.h"

#include <algorithm>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/strings.h"
#include "setup/install_run.h"
#include "formats/uninstall_entry.h"
#include "setup/upgrade.h"

namespace zub {
namespace {

// A setup.log larger than this is no record a setup wrote; it is not read.
constexpr int64_t kEarlierLogLimit = 16 << 20;

// The size of every file the log book lists, each counted once.
uint64_t InstalledBytes(const TSetupLogBook& logBook) {
    std::vector<std::string> counted;
    uint64_t bytes = 0;
    for (const std::string& line : logBook.Lines) {
        std::optional<TLogEntryLine> entry = ParseLogEntry(line);
        if (!entry || entry->Kind != TLogEntryKind::File) continue;
        const std::string path = LowerAscii(entry->Path);
        if (std::find(counted.begin(), counted.end(), path) != counted.end()) continue;
        counted.push_back(path);
        fs::File file = fs::File::OpenRead(entry->Path);
        if (file.IsOpen() && file.Size() > 0) bytes += static_cast<uint64_t>(file.Size());
    }
    return bytes;
}

// An earlier installation of the same program in the destination: its
// entries join the new ones, so the uninstaller removes both versions.
void TakeInEarlierLog(TSetupLogBook& logBook, const TSetupData& data, IInstallSystem& system) {
    fs::File file = fs::File::OpenRead(logBook.LogFileName);
    if (!file.IsOpen() || file.Size() > kEarlierLogLimit) return;
    std::string text(static_cast<size_t>(file.Size()), '\0');
    text.resize(file.Read(&text[0], text.size()));
    std::optional<std::vector<TLogEntryLine>> earlier = EarlierLogEntries(text, logBook.DisplayName);
    if (!earlier) return;
    const TOwnFolders folders{data.Destination, system.ProgramsFolder(), system.DesktopFolder()};
    MergeEarlierEntries(logBook, *earlier, folders, [&system](const TLogEntryLine& entry) {
        return entry.Kind == TLogEntryKind::Directory ? system.IsFolderPresent(entry.Path)
                                                      : system.FileExists(entry.Path);
    });
}

}  // namespace

TProgramStart StartProgram(IInstallSystem& system, const std::string& file, const std::string& parameters,
                           const std::string& folder) {
    TProgramStart start;
    if (system.RunsElevated()) {
        const TStartResult desktop = system.StartAsDesktopUser(file, parameters, folder);
        if (desktop.Ok) {
            start.Route = TStartRoute::DesktopUser;
            return start;
        }
        start.DesktopFailure = desktop.Reason;
    }
    // The program inherits the setup's current folder.
    if (!folder.empty()) system.SetCurrentDir(folder);
    const TStartResult direct = system.ShellOpen(file, parameters);
    start.Route = direct.Ok ? TStartRoute::Direct : TStartRoute::NotStarted;
    start.Failure = direct.Reason;
    return start;
}

TFinishStarts FinishSetup(const TSetupData& data, TSetupLogBook& logBook, const TFinishChoices& choices,
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

    logBook.LogFileName = dest + "\\" + kSetupLogName;
    logBook.UninstallKeyName = ChooseUninstallKeyName(title, data.TargetFile);
    logBook.DisplayName = title;
    // The earlier log is read before it is moved aside for the new one.
    TakeInEarlierLog(logBook, data, system);
    if (!journal.BeforeWrite(system, logBook.LogFileName).Ok) throw CreateFileError(logBook.LogFileName);
    logBook.SaveLog();
    const TInstallFacts facts{SizeInKiB(InstalledBytes(logBook)), system.Today()};
    system.WriteUninstallEntry(UninstallEntryOf(logBook, data, facts));
    journal.Commit(system);

    // Only what was installed is started: Notepad would offer to create a
    // missing read-me, and an empty or missing program name would open a
    // folder window or an error box instead of the program.
    TFinishStarts starts;
    const std::string readMe = dest + "\\" + data.ReadMe;
    if (choices.ViewReadMe && system.FileExists(readMe))
        starts.ReadMe = StartProgram(system, NotepadPath(system.WindowsFolder()), readMe, "");
    // The program starts in its own folder.
    const std::string program = dest + "\\" + data.TargetFile;
    if (choices.LaunchProg && system.FileExists(program)) starts.Program = StartProgram(system, program, "", dest);
    return starts;
}

}  // namespace zub
