// The uninstall entry in the platform's list of installed programs.
#include <windows.h>

#include "folders/registry_win.h"
#include "setup/log_book.h"

namespace zub {

void TSetupLogBook::WriteUninstallKey() const {
    RegKey key = CreateKeyForWriting(HKEY_LOCAL_MACHINE, kUninstallRootKey + EffectiveUninstallKeyName());
    if (!key.valid()) return;  // e.g. no right to write there: the setup goes on without the entry
    WriteStringValue(key, "DisplayName", DisplayName);
    WriteStringValue(key, "UninstallString", UninstallCommand(LogFileName));
}

}  // namespace zub
