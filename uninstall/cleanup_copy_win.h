// A running program cannot delete its own file. So at its end the
// uninstaller copies itself into a fresh folder of its own in the temporary
// directory and starts the copy with kCleanupSwitch: the copy waits for the
// original to end, deletes it and then the folders that held nothing else,
// and leaves itself and its folder to the platform's delete at the next start.
#pragma once

#include <string>
#include <vector>

namespace zub {

inline constexpr char kCleanupSwitch[] = "/CLEANUP";

// Starts the copy that removes `self`, then `folders` in their order (each
// only when empty), once this process has ended. False when that cannot be
// arranged; then nothing is left behind in the temporary directory.
bool StartCleanupCopy(const std::string& self, const std::vector<std::string>& folders);

// The copy's work, from its command line: kCleanupSwitch, the handle of the
// original process, the original's file and the folders. The original is
// deleted only when it is the program this copy was made from.
int RunCleanup(int argc, char** argv);

}  // namespace zub
