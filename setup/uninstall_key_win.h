// The uninstall entry in the platform's list of installed programs, below
// HKEY_LOCAL_MACHINE\kUninstallRootKey.
#pragma once

#include <string>

#include "formats/uninstall_entry.h"

namespace zub {

// Writes the entry's values in their order into its key, created when
// missing; an Absent value is removed. A key that cannot be opened or
// created raises UninstallKeyError with the system's reason; a value that
// cannot be written raises "Konnte Daten für '%s' nicht setzen".
void WriteUninstallEntry(const TUninstallEntry& entry);

// The InstallLocation of an existing entry; "" when there is none.
std::string ReadInstallLocation(const std::string& keyName);

}  // namespace zub
