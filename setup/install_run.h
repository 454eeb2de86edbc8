// The installation run: the destination with its sub-folders, every Addfile
// entry copied, the program folder with its shortcuts, each recorded in the
// log book in the order made. A failure undoes what the run made.
#pragma once

#include <string>
#include <vector>

#include "base/error.h"
#include "setup/install_system.h"
#include "setup/log_book.h"
#include "setup/setup_data.h"

namespace zub {

// The run failed or the user cancelled it; what it had made is removed
// again. The message is what the user is shown before the setup ends.
class TInstallAborted : public Error {
public:
    using Error::Error;
};

// Texts of the run in the wizard's language ("German" exactly: German,
// anything else: English).
std::string CopyFailedQuestion(const std::string& language, const std::string& target, const std::string& reason);
std::string InstallCancelledText(const std::string& language);
std::string NoDestinationText(const std::string& language);

// The argument that opens a file in Notepad: the path, in quotes when it
// holds a blank.
std::string QuoteIfBlank(const std::string& path);

// The read-me viewer: Notepad in the Windows folder, by its full path, so a
// notepad.exe in the current folder is never the one that runs.
std::string NotepadPath(const std::string& windowsFolder);

class TInstallRun {
public:
    TInstallRun(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, ICopyPage& page);

    // Runs the ten steps. On any error, and when the user cancels a failed
    // copy, everything this run made is removed (newest first), the log book
    // emptied, and TInstallAborted (or the original error) leaves.
    void InstallFiles();

private:
    enum class TMade { File, Link, Folder };
    struct TUndoStep {
        TMade Kind;
        std::string Path;
    };

    void Run();
    void RollBack() noexcept;
    // Makes `folder` with its missing parents and journals each level made;
    // returns those levels, outermost first.
    std::vector<std::string> MakeFolders(const std::string& folder);
    void CopyOneFile(const std::string& source, const std::string& target);
    void MakeShortcut(const std::string& linkFile, const TShortcut& link);

    const TSetupData& data_;
    TSetupLogBook& log_;
    IInstallSystem& system_;
    ICopyPage& page_;
    // What this run made that was not there before, in the order made.
    std::vector<TUndoStep> made_;
};

}  // namespace zub
