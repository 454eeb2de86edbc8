#include "setup/silent_run.h"

#include <exception>

#include "setup/command_line.h"
#include "setup/finish_setup.h"
#include "setup/install_run.h"
#include "setup/log_format.h"

namespace zub {

bool TSilentCopyPage::AskRetry(const std::string& question) {
    trace_.Line("answered Cancel: " + question);
    return false;
}

int RunSilentInstall(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, TRunTrace& trace) {
    trace.Line("destination: " + data.Destination);
    TSilentCopyPage page(trace);
    TInstallRun run(data, logBook, system, page);
    try {
        run.InstallFiles();
    } catch (const std::exception& e) {
        trace.Error(e.what());
        return kExitFailed;
    }
    const size_t entries = logBook.Lines.size();
    try {
        FinishSetup(data, logBook, {data.DesktopIcon, false, false}, system);
    } catch (const std::exception& e) {
        // Nobody can press Forward again: the installation goes, the desktop
        // shortcut the finishing actions made with it.
        trace.Error(e.what());
        if (logBook.Lines.size() > entries)
            if (std::optional<TLogEntryLine> link = ParseLogEntry(logBook.Lines.front()))
                if (link->Kind == TLogEntryKind::Link) system.RemoveFile(link->Path);
        run.RollBack();
        return kExitFailed;
    }
    trace.Line("wrote: " + logBook.LogFileName);
    trace.Line("installed");
    return kExitInstalled;
}

}  // namespace zub
