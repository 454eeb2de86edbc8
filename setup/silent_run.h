// The installation without a window (/S): the same installation run and
// finishing actions as the wizard, with what the wizard would propose, every
// message it would show written to the trace, and its question answered Cancel.
#pragma once

#include "setup/install_system.h"
#include "formats/log_book.h"
#include "setup/run_trace.h"
#include "formats/setup_data.h"

namespace zub {

// The copying page of a run nobody watches: the files copied go to the
// trace, and a failed copy is not tried again.
class TSilentCopyPage : public ICopyPage {
public:
    explicit TSilentCopyPage(TRunTrace& trace) : trace_(trace) {}
    void SetCopyMessage(const std::string&) override {}
    void SetProgress(int) override {}
    void ProcessMessages() override {}
    bool AskRetry(const std::string& question) override;

private:
    TRunTrace& trace_;
};

// Installs into data.Destination with data.Folder as the program folder and
// the desktop shortcut when Setup.ini offers it ticked; the read-me is not
// opened and the program not started. Returns kExitInstalled, or kExitFailed
// after an error (in the trace), with what the run made removed again.
int RunSilentInstall(const TSetupData& data, TSetupLogBook& logBook, IInstallSystem& system, TRunTrace& trace);

}  // namespace zub
