// What the wizard and a silent run (/S) share at start-up on Windows, and
// the silent run itself, which shows no window at all.
#pragma once

#include <optional>
#include <string>

#include "setup/command_line.h"
#include "formats/setup_data.h"

namespace zub {

class TRunTrace;

// The destination to propose: /D= when given, else the folder of an earlier
// installation with this title (its uninstall entry's InstallLocation), else
// the program files folder followed by Setup.ini's Destination.
std::string ProposedDestinationOf(const TSetupData& data, const std::optional<std::string>& commandLine);

// The whole silent run: work folder, payload, Setup.ini, installation and
// finishing actions, the work folder removed at the end. `recordedWorkFolder`
// receives the work folder for the program's final clean-up. Every error goes
// to the trace; the result is the exit code.
int RunSilentSetup(const TSetupOptions& options, TRunTrace& trace, std::string& recordedWorkFolder);

}  // namespace zub
