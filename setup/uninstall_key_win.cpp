// The uninstall entry in the platform's list of installed programs.
#include <windows.h>

#include "base/strings.h"
#include "base/win32_error.h"
#include "folders/registry_win.h"
#include "setup/log_book.h"

namespace zub {

void TSetupLogBook::WriteUninstallKey() const {
    const std::string path = kUninstallRootKey + EffectiveUninstallKeyName();
    RegKey key = CreateKeyForWriting(HKEY_LOCAL_MACHINE, path);
    if (!key.valid()) {
        // Without the entry the program could not be removed the usual way:
        // say so, rather than finish as if all were well.
        DWORD code = GetLastError();
        std::string message = UninstallKeyError(path);
        std::string reason = SystemMessage(code);
        if (!reason.empty()) message += "\n" + reason;
        throw Error(message);
    }
    WriteStringValue(key, "DisplayName", DisplayName);
    WriteStringValue(key, "UninstallString", UninstallCommand(LogFileName));
}

}  // namespace zub
