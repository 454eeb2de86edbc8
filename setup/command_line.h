// The setup's command line: silent mode, the destination, the trace file,
// and the exit codes the setup ends with, the same for the wizard and for
// silent runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zub {

// How a run of the setup ended.
enum TExitCode : int {
    kExitInstalled = 0,       // installed
    kExitFailed = 1,          // the installation failed and was rolled back
    kExitCancelled = 2,       // cancelled by the user
    kExitCouldNotStart = 3,   // damaged payload, bad Setup.ini, no work folder
    kExitBadCommandLine = 4,  // a switch the setup does not know, a bad /D=, or /?
    kExitNotUndone = 5,       // the installation failed and some of it could not be rolled back
};

struct TSetupOptions {
    bool Silent = false;                     // /S
    bool Usage = false;                      // /? (or a refused command line)
    std::optional<std::string> Destination;  // /D=PATH
    std::string LogFile;                     // /LOG=FILE, "" when not given
    // Why the command line is refused; "" when it is accepted.
    std::string Error;
};

// Reads the whole command line as the system hands it over, program name
// first (in quotes or not). Switches are compared without regard to case.
// "/D=" takes the rest of the line, blanks included and without quotes, up
// to its trailing blanks; it has to be an absolute path the installation can
// use. "/LOG=" takes one argument, which may be in quotes. A switch given
// twice with the same meaning is accepted; anything else it does not know,
// and "/LOG=" twice, is refused with Error set (and Usage, so that the
// wizard shows the usage box). Whatever was read before a refusal stays
// filled in, so a trace file named before it can still be written.
TSetupOptions ParseSetupCommandLine(std::string_view commandLine);

// The text of the usage box: the switches and the exit codes.
std::string UsageText();

}  // namespace zub
