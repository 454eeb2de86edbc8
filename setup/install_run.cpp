#include "setup/install_run.h"

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/language.h"
#include "base/path_rules.h"
#include "base/strings.h"
#include "setup/install_copies.h"

namespace zub {
namespace {

// The system's code for a name that is not a valid file name.
constexpr int kInvalidNameCode = 123;

std::string WithBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

// The program folder `relative` ("Company\App") below the Programs folder,
// its empty parts dropped. A part "." or ".." would lead out of the Programs
// folder instead of below it: the system's code for an invalid name.
std::string ProgramFolderPath(const std::string& programs, const std::string& relative) {
    std::string path = !programs.empty() && programs.back() == '\\' ? programs.substr(0, programs.size() - 1) : programs;
    std::string part;
    for (char c : relative + "\\") {
        if (c != '\\' && c != '/') {
            part += c;
            continue;
        }
        if (part == "." || part == "..") throw IoError(kInvalidNameCode);
        if (!part.empty()) path += "\\" + part;
        part.clear();
    }
    return path;
}


// The user chose Cancel on a failed copy.
struct TUserCancelled {};

}  // namespace

std::string CopyFailedQuestion(const std::string& language, const std::string& target, const std::string& reason) {
    if (IsGerman(language))
        return Format("Die Datei %s konnte nicht kopiert werden:\n%s\n\n"
                      "\"Wiederholen\" versucht es noch einmal, \"Abbrechen\" beendet das Setup und "
                      "entfernt, was es bis jetzt installiert hat.",
                      target.c_str(), reason.c_str());
    return Format("The file %s could not be copied:\n%s\n\n"
                  "Retry tries again; Cancel ends the setup and removes what it has installed so far.",
                  target.c_str(), reason.c_str());
}

std::string InstallCancelledText(const std::string& language) {
    if (IsGerman(language)) return "Das Setup wurde abgebrochen. Was es bereits installiert hatte, wurde entfernt.";
    return "Setup was cancelled. What it had installed so far has been removed.";
}

std::string NoDestinationText(const std::string& language) {
    if (IsGerman(language)) return "Es wurde kein Zielordner gew\xE4hlt.";
    return "No destination folder was chosen.";
}

std::string NotUndoneText(const std::string& language, const std::vector<std::string>& paths) {
    std::string text = IsGerman(language) ? "Dies konnte nicht entfernt oder wiederhergestellt werden:"
                                          : "These could not be removed or put back as they were:";
    for (const std::string& path : paths) text += "\n" + path;
    return text;
}

TInstallAborted UndoInstallation(TInstallJournal& journal, TSetupLogBook& logBook, IInstallSystem& system,
                                 const std::string& language, const std::string& error) {
    const std::vector<std::string> left = journal.RollBack(system);
    logBook.Lines.clear();
    if (left.empty()) return TInstallAborted(error.empty() ? InstallCancelledText(language) : error);
    // Only what was done is claimed: the cancel text says all was removed.
    const std::string head = !error.empty()        ? error + "\n\n"
                             : IsGerman(language) ? std::string("Das Setup wurde abgebrochen.\n\n")
                                                  : std::string("Setup was cancelled.\n\n");
    return TInstallAborted(head + NotUndoneText(language, left), true);
}

std::string QuoteIfBlank(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::string NotepadPath(const std::string& windowsFolder) {
    return windowsFolder.empty() ? std::string("notepad.exe") : WithBackslash(windowsFolder) + "notepad.exe";
}

TInstallRun::TInstallRun(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, ICopyPage& page,
                         TInstallJournal& journal)
    : data_(data), log_(logBook), system_(system), page_(page), journal_(journal) {}

void TInstallRun::InstallFiles() {
    try {
        Run();
    } catch (const TUserCancelled&) {
        throw UndoInstallation(journal_, log_, system_, data_.Language, "");
    } catch (const std::exception& e) {
        TInstallAborted undone = UndoInstallation(journal_, log_, system_, data_.Language, e.what());
        if (!undone.Incomplete) throw;
        throw undone;
    } catch (...) {
        UndoInstallation(journal_, log_, system_, data_.Language, "");
        throw;
    }
}

void TInstallRun::Run() {
    const std::string& dest = data_.Destination;
    // An empty destination would make every path relative to the root of
    // the current drive.
    if (Trim(dest).empty()) throw TInstallAborted(NoDestinationText(data_.Language));

    // Every name is checked before anything is made or copied.
    const std::vector<TInstallCopy> copies = PlanCopies(data_);

    log_.AddDirectoryEntry(dest);
    MakeDestinationRoot();
    for (const char* sub : kPayloadFolders) journal_.CreateFolderLevels(system_, dest + "\\" + sub, TFolderFailure::Stop);
    for (const char* sub : kPayloadFolders) log_.AddDirectoryEntry(dest + "\\" + sub);

    const size_t count = data_.AddFiles.size();
    for (size_t i = 0; i < count; ++i) {
        page_.SetCopyMessage("copying " + copies[i].Entry);
        page_.SetProgress(static_cast<int>(i * 100 / count));
        page_.ProcessMessages();
        const std::string& target = copies[i].Target;
        const std::string folder = ExtractFilePath(target);
        // Each level made for a file ("plugins", "data\\fonts") is recorded, so
        // that the uninstaller removes it once its files are gone.
        if (!system_.IsFolderPresent(folder))
            for (const std::string& level : journal_.CreateFolderLevels(system_, folder, TFolderFailure::Stop))
                log_.AddDirectoryEntry(level);
        CopyOneFile(copies[i].Source, target);
        log_.AddFileEntry(target);
    }
    if (count > 0) {
        page_.SetProgress(100);
        page_.ProcessMessages();
    }

    if (Trim(data_.Folder).empty()) return;
    // Without a Programs folder there is nowhere to put the program folder;
    // the setup goes on without it rather than use the drive's root.
    const std::string programs = system_.ProgramsFolder();
    if (programs.empty()) return;
    const std::string programFolder = WithBackslash(programs) + data_.Folder;
    // Every missing level of "Company\App" is made and recorded, outermost
    // first, so that the uninstaller removes each once it is empty.
    const std::string levels = ProgramFolderPath(programs, data_.Folder);
    for (const std::string& level : journal_.CreateFolderLevels(system_, levels, TFolderFailure::Raise))
        log_.AddDirectoryEntry(level);

    const std::string& title = data_.RazederodezTitle;
    MakeShortcut(programFolder + "\\" + title + ".lnk", {dest + "\\" + data_.TargetFile, "", dest, title, 1});
    MakeShortcut(programFolder + "\\Uninstall.lnk", {dest + "\\" + kUninstallShortcutTarget, "", dest, "Uninstall " + title, 1});
    if (!Trim(data_.ReadMe).empty()) {
        // The shortcut opens the installed read-me, wherever it is started from.
        const std::string name = ExtractFileName(data_.ReadMe);
        MakeShortcut(programFolder + "\\" + name + ".lnk",
                     {NotepadPath(system_.WindowsFolder()), QuoteIfBlank(dest + "\\" + data_.ReadMe), "", name, 1});
    }
}

// Outside the program files folder a new folder inherits from what lies above
// it: below a drive root, the right of every authenticated user to change
// what is made there, so that anyone could replace Uninstall.exe or the
// program an administrator runs later. The outermost level the setup makes
// gets the rights of the program files folder instead; the levels below it
// and every file installed inherit them.
void TInstallRun::MakeDestinationRoot() {
    const std::string programFiles = system_.ProgramFilesFolder();
    if (!programFiles.empty() &&
        IsPathInside(fs::LongFullPath(data_.Destination), fs::LongFullPath(programFiles)))
        return;  // it inherits those rights already
    const std::vector<std::string> missing = MissingFolderLevels(system_, data_.Destination);
    // A level that cannot be made shows itself when a file is copied into it.
    if (!missing.empty() && system_.CreateInstallationDir(missing.back()) == 0) journal_.MadeFolder(missing.back());
}

void TInstallRun::CopyOneFile(const std::string& source, const std::string& target) {
    for (;;) {
        // An earlier file is moved aside first: nothing is overwritten without a backup.
        TCopyResult result = journal_.BeforeWrite(system_, target);
        if (result.Ok) result = system_.CopyFile(source, target, [this] { page_.ProcessMessages(); });
        if (result.Ok) return;
        if (!page_.AskRetry(CopyFailedQuestion(data_.Language, target, result.Reason))) throw TUserCancelled();
    }
}

void TInstallRun::MakeShortcut(const std::string& linkFile, const TShortcut& link) {
    // An earlier shortcut that cannot be moved aside stays as it is, and is
    // not recorded: the uninstaller would remove what this setup did not make.
    if (!journal_.BeforeWrite(system_, linkFile).Ok) return;
    // A shortcut that cannot be saved does not stop the setup; it is recorded
    // all the same, as the uninstaller passes over what is not there.
    (void)system_.CreateShortcut(linkFile, link);
    log_.AddLinkEntry(linkFile);
}

}  // namespace zub
