// Starting a program as the user whose desktop this is, rather than as the
// program that asks: through the desktop's own shell, which runs with that
// user's rights, profile and environment. An elevated setup starts the
// programs it offers at the end this way, so that they do not run with
// administrator rights.
#pragma once

#include <string>

namespace zub {

// Has the desktop's shell open `file` (verb "open", show command 5) with
// `parameters`, in `folder` ("" for the shell's own), not waiting for it:
// the shell's window list finds the desktop's window, its browser gives the
// view of the desktop, whose dispatch object reaches the shell's
// application object, whose ShellExecute runs inside the shell's process.
// COM must be initialised on the calling thread. On failure nothing is
// started and `reason` says which step failed and why.
bool StartThroughDesktopShell(const std::string& file, const std::string& parameters, const std::string& folder,
                              std::string& reason);

}  // namespace zub
