#include "setup/silent_run.h"

#include <exception>

#include "setup/command_line.h"
#include "setup/finish_setup.h"
#include "setup/install_run.h"

namespace zub {

bool TSilentCopyPage::AskRetry(const std::string& question) {
    trace_.Line("answered Cancel: " + question);
    return false;
}

int RunSilentInstall(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, TRunTrace& trace) {
    trace.Line("destination: " + data.Destination);
    TSilentCopyPage page(trace);
    try {
        TInstallRun(data, logBook, system, page).InstallFiles();
        FinishSetup(data, logBook, {data.DesktopIcon, false, false}, system);
    } catch (const std::exception& e) {
        trace.Error(e.what());
        return kExitFailed;
    }
    trace.Line("wrote: " + logBook.LogFileName);
    trace.Line("installed");
    return kExitInstalled;
}

}  // namespace zub
