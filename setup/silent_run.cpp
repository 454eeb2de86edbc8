#include "setup/silent_run.h"

#include <exception>

#include "setup/command_line.h"
#include "setup/finish_setup.h"
#include "setup/install_run.h"

namespace zub {
namespace {

int Failed(TRunTrace& trace, const std::exception& error) {
    trace.Error(error.what());
    const auto* aborted = dynamic_cast<const TInstallAborted*>(&error);
    return aborted && aborted->Incomplete ? kExitNotUndone : kExitFailed;
}

}  // namespace

bool TSilentCopyPage::AskRetry(const std::string& question) {
    trace_.Line("answered Cancel: " + question);
    return false;
}

int RunSilentInstall(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, TRunTrace& trace) {
    trace.Line("destination: " + data.Destination);
    TSilentCopyPage page(trace);
    TInstallJournal journal;
    try {
        // A failed run has taken back what it made before it raises.
        TInstallRun(data, logBook, system, page, journal).InstallFiles();
    } catch (const std::exception& e) {
        return Failed(trace, e);
    }
    try {
        FinishSetup(data, logBook, {data.DesktopIcon, false, false}, system, journal);
    } catch (const std::exception& e) {
        // Nobody can press Forward again: the whole installation is undone,
        // the desktop shortcut and any replaced file included.
        return Failed(trace, UndoInstallation(journal, logBook, system, data.Language, e.what()));
    }
    trace.Line("wrote: " + logBook.LogFileName);
    trace.Line("installed");
    return kExitInstalled;
}

}  // namespace zub
