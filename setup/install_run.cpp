#include "setup/install_run.h"

#include "base/strings.h"
#include "setup/install_copies.h"

namespace zub {
namespace {

bool IsGerman(const std::string& language) { return language == "German"; }

// The path without trailing backslashes, except that a drive stays a root ("C:\").
std::string FolderLevel(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (!path.empty() && path.back() == ':') path += '\\';
    return path;
}

std::string WithBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

const char* const kStandardSubFolders[] = {"Graphics", "Sounds", "Additional"};

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

std::string QuoteIfBlank(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::string NotepadPath(const std::string& windowsFolder) {
    return windowsFolder.empty() ? std::string("notepad.exe") : WithBackslash(windowsFolder) + "notepad.exe";
}

TInstallRun::TInstallRun(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, ICopyPage& page)
    : data_(data), log_(logBook), system_(system), page_(page) {}

void TInstallRun::InstallFiles() {
    try {
        Run();
    } catch (...) {
        RollBack();
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
    for (const char* sub : kStandardSubFolders) MakeFolders(dest + "\\" + sub);
    for (const char* sub : kStandardSubFolders) log_.AddDirectoryEntry(dest + "\\" + sub);

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
            for (const std::string& level : MakeFolders(folder)) log_.AddDirectoryEntry(level);
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
    if (!system_.IsFolderPresent(programFolder)) {
        if (int code = system_.CreateDir(programFolder)) throw IoError(code);
        made_.push_back({TMade::Folder, programFolder});
        log_.AddDirectoryEntry(programFolder);
    }

    const std::string& title = data_.RazederodezTitle;
    MakeShortcut(programFolder + "\\" + title + ".lnk", {dest + "\\" + data_.TargetFile, "", dest, title, 1});
    MakeShortcut(programFolder + "\\Uninstall.lnk", {dest + "\\uninstall.exe", "", dest, "Uninstall " + title, 1});
    if (!Trim(data_.ReadMe).empty()) {
        // The shortcut opens the installed read-me, wherever it is started from.
        const std::string name = ExtractFileName(data_.ReadMe);
        MakeShortcut(programFolder + "\\" + name + ".lnk",
                     {NotepadPath(system_.WindowsFolder()), QuoteIfBlank(dest + "\\" + data_.ReadMe), "", name, 1});
    }
}

std::vector<std::string> TInstallRun::MakeFolders(const std::string& folder) {
    // The levels that are missing now, deepest first; bounded against odd paths.
    std::vector<std::string> missing;
    std::string level = FolderLevel(folder);
    for (int depth = 0; !level.empty() && depth < 260; ++depth) {
        if (system_.IsFolderPresent(level)) break;
        missing.push_back(level);
        std::string parent = FolderLevel(ExtractFilePath(level));
        if (parent.size() >= level.size()) break;
        level = parent;
    }
    std::vector<std::string> made;
    if (missing.empty()) return made;
    // A folder that cannot be made shows itself when a file is copied into it.
    system_.ForceDirectories(folder);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (system_.IsFolderPresent(*it)) {
            made_.push_back({TMade::Folder, *it});
            made.push_back(*it);
        }
    return made;
}

void TInstallRun::CopyOneFile(const std::string& source, const std::string& target) {
    // Journaled before the copy, so that a half-written target goes too.
    if (!system_.FileExists(target)) made_.push_back({TMade::File, target});
    for (;;) {
        TCopyResult result = system_.CopyFile(source, target, [this] { page_.ProcessMessages(); });
        if (result.Ok) return;
        if (!page_.AskRetry(CopyFailedQuestion(data_.Language, target, result.Reason)))
            throw TInstallAborted(InstallCancelledText(data_.Language));
    }
}

void TInstallRun::MakeShortcut(const std::string& linkFile, const TShortcut& link) {
    bool existed = system_.FileExists(linkFile);
    // A shortcut that cannot be saved does not stop the setup; it is recorded
    // all the same, as the uninstaller passes over what is not there.
    (void)system_.CreateShortcut(linkFile, link);
    if (!existed) made_.push_back({TMade::Link, linkFile});
    log_.AddLinkEntry(linkFile);
}

void TInstallRun::RollBack() noexcept {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
        try {
            // A folder goes only when it is empty: RemoveDir refuses otherwise.
            if (it->Kind == TMade::Folder)
                system_.RemoveDir(it->Path);
            else
                system_.RemoveFile(it->Path);
        } catch (...) {
            // Undo what can be undone; the original error is what the user sees.
        }
    }
    made_.clear();
    log_.Lines.clear();
}

}  // namespace zub
