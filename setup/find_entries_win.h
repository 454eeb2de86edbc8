// The platform's folder search for the program-folder page.
#pragma once

#include <string>
#include <vector>

#include "setup/wizard_checks.h"

namespace zub {

// Every match of a search pattern such as "C:\Folder\*.*" (FindFirstFileA,
// FindNextFileA), with its hidden and system attributes, in the order found.
std::vector<TFoundEntry> FindEntries(const std::string& pattern);

}  // namespace zub
