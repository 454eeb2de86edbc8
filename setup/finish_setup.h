// The finishing actions of the completion page: the desktop shortcut, the
// uninstall entry, setup.log, then the read-me and the program are started.
#pragma once

#include "setup/install_journal.h"
#include "setup/install_system.h"
#include "formats/log_book.h"
#include "formats/setup_data.h"

namespace zub {

// The completion page's three check boxes.
struct TFinishChoices {
    bool DesktopIcon = false;
    bool ViewReadMe = false;
    bool LaunchProg = false;
};

// Carries out the steps in order, except the last: closing the wizard is left
// to the caller, once this returns. setup.log is written before the uninstall
// entry, so that an entry never starts an uninstaller without its log. An
// error from either leaves at once, before anything is started; the
// completion page stays and the whole can be run again, or the installation
// undone through `journal`, which holds what the run and these steps made and
// replaced. Once both are written the journal is committed (the backups of
// replaced files go). The read-me and the program are started only when their
// installed files are there.
void FinishSetup(const TSetupData& data, TSetupLogBook& logBook, const TFinishChoices& choices,
                 IInstallSystem& system, TInstallJournal& journal);

}  // namespace zub
