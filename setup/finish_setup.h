// The finishing actions of the completion page: the desktop shortcut, the
// uninstall entry, setup.log, then the read-me and the program are started.
#pragma once

#include <optional>
#include <string>

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

// How a program of the finishing actions was started.
enum class TStartRoute {
    DesktopUser,  // by the desktop's shell, as its user
    Direct,       // by the setup itself, with its rights
    NotStarted,
};

struct TProgramStart {
    TStartRoute Route = TStartRoute::NotStarted;
    std::string DesktopFailure;  // why the desktop's shell did not start it, when it was asked
    std::string Failure;         // why the setup could not start it either
};

// Starts `file` with `parameters` in `folder` ("" for no folder of its
// own). An elevated setup asks the desktop's shell first, so that the
// program runs as the desktop's user and not with administrator rights;
// when the shell cannot be asked, and always when the setup is not elevated
// (it then runs as that user already), the setup starts it itself, with
// `folder` made its current folder.
TProgramStart StartProgram(IInstallSystem& system, const std::string& file, const std::string& parameters,
                           const std::string& folder);

// The starts of the finishing actions; unset for what was not started.
struct TFinishStarts {
    std::optional<TProgramStart> ReadMe, Program;
};

// Carries out the steps in order, except the last: closing the wizard is left
// to the caller, once this returns. setup.log is written before the uninstall
// entry, so that an entry never starts an uninstaller without its log. An
// error from either leaves at once, before anything is started; the
// completion page stays and the whole can be run again, or the installation
// undone through `journal`, which holds what the run and these steps made and
// replaced. Once both are written the journal is committed (the backups of
// replaced files go). The read-me and the program are started (StartProgram)
// only when their installed files are there; a start that fails stops
// nothing.
TFinishStarts FinishSetup(const TSetupData& data, TSetupLogBook& logBook, const TFinishChoices& choices,
                          IInstallSystem& system, TInstallJournal& journal);

}  // namespace zub
