// Where the setup's DLLs may come from.
#pragma once

namespace zub {

// Restricts the DLL search of this process to the system folder and puts
// the search path into safe mode, so that a DLL planted beside the setup (in
// a downloads folder, say) or in the current folder is never loaded. Call it
// first thing in the program. On systems without these functions it does
// what the system offers.
void HardenDllSearch();

}  // namespace zub
