// What every program of ours does about its own process: where its DLLs may
// come from, and which file it runs from.
#pragma once

#include <string>

namespace zub {

// Restricts the DLL search of this process to the system folder and puts
// the search path into safe mode, so that a DLL planted beside the program
// (in a downloads or temporary folder, say) or in the current folder is
// never loaded. Call it first thing in the program. On systems without these
// functions it does what the system offers.
void HardenDllSearch();

// The running program's file, in its long form (as the setup writes paths
// into setup.log); "" when the system does not say.
std::string OwnExecutablePath();

}  // namespace zub
