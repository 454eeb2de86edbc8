// A running program cannot delete its own file. So at its end the
// uninstaller copies itself into a fresh folder of its own in the temporary
// directory and starts the copy with kCleanupSwitch: the copy waits for the
// original to end, deletes it and then the folders that held nothing else
// and what was left to the restart but may go now (FinishAfterExit),
// and leaves itself and its folder to the platform's delete at the next start.
#pragma once

#include <string>
#include <vector>

namespace zub {

inline constexpr char kCleanupSwitch[] = "/CLEANUP";

// Starts the copy that removes `self`, then `after` in their order, once
// this process has ended. False when that cannot be arranged; then nothing
// is left behind in the temporary directory.
bool StartCleanupCopy(const std::string& self, const std::vector<std::string>& after);

// The copy's work, from its command line: kCleanupSwitch, the handle of the
// original process, the original's file and `after`. Nothing is removed
// unless the original is the program this copy was made from.
int RunCleanup(int argc, char** argv);

}  // namespace zub
