// The installation run: the destination with its sub-folders, every Addfile
// entry copied, the program folder with its shortcuts, each recorded in the
// log book in the order made. A failure undoes what the run made.
#pragma once

#include <string>
#include <vector>

#include "base/error.h"
#include "setup/install_journal.h"
#include "setup/install_system.h"
#include "formats/log_book.h"
#include "formats/setup_data.h"

namespace zub {

// The run failed or the user cancelled it; what it had made is removed
// again. The message is what the user is shown before the setup ends; it
// names what could not be undone, and Incomplete says that there was some.
class TInstallAborted : public Error {
public:
    explicit TInstallAborted(const std::string& message, bool incomplete = false)
        : Error(message), Incomplete(incomplete) {}
    bool Incomplete;
};

// Texts of the run in the wizard's language ("German" exactly: German,
// anything else: English).
std::string CopyFailedQuestion(const std::string& language, const std::string& target, const std::string& reason);
std::string InstallCancelledText(const std::string& language);
std::string NoDestinationText(const std::string& language);
// The paths a rollback could neither remove nor put back, one a line.
std::string NotUndoneText(const std::string& language, const std::vector<std::string>& paths);

// Undoes the whole installation through `journal` and empties the log book.
// The result's message is `error` (the setup was cancelled when it is empty),
// followed by what could not be undone.
TInstallAborted UndoInstallation(TInstallJournal& journal, TSetupLogBook& logBook, IInstallSystem& system,
                                 const std::string& language, const std::string& error);

// The argument that opens a file in Notepad: the path, in quotes when it
// holds a blank.
std::string QuoteIfBlank(const std::string& path);

// The read-me viewer: Notepad in the Windows folder, by its full path, so a
// notepad.exe in the current folder is never the one that runs.
std::string NotepadPath(const std::string& windowsFolder);

class TInstallRun {
public:
    // Everything the run makes or replaces goes into `journal`, which the
    // finishing actions go on with and which commits or undoes the whole.
    TInstallRun(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, ICopyPage& page,
                TInstallJournal& journal);

    // Runs the ten steps. On any error, and when the user cancels a failed
    // copy, everything this run made is removed and every file it replaced
    // put back (newest first), the log book emptied, and TInstallAborted (or
    // the original error, when all was undone) leaves.
    void InstallFiles();

private:
    void Run();
    // Makes the outermost missing level of a destination outside the program
    // files folder with that folder's rights (CreateInstallationDir).
    void MakeDestinationRoot();
    void CopyOneFile(const std::string& source, const std::string& target);
    void MakeShortcut(const std::string& linkFile, const TShortcut& link);

    const TSetupData& data_;
    TSetupLogBook& log_;
    IInstallSystem& system_;
    ICopyPage& page_;
    TInstallJournal& journal_;
};

}  // namespace zub
