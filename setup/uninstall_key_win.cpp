// The uninstall entry in the platform's list of installed programs.
#include "setup/uninstall_key_win.h"

#include <windows.h>

#include "base/error.h"
#include "base/strings.h"
#include "base/win32_error.h"
#include "shell/registry_win.h"
#include "formats/log_book.h"

namespace zub {

void WriteUninstallEntry(const TUninstallEntry& entry) {
    const std::string path = kUninstallRootKey + entry.KeyName;
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
    for (const TRegistryValue& value : entry.Values) {
        switch (value.Kind) {
            case TRegistryValue::TKind::Text: WriteStringValue(key, value.Name, value.Text); break;
            case TRegistryValue::TKind::Number: WriteDwordValue(key, value.Name, value.Number); break;
            case TRegistryValue::TKind::Absent: DeleteValue(key, value.Name); break;
        }
    }
}

std::string ReadInstallLocation(const std::string& keyName) {
    RegKey key = OpenKeyForReading(HKEY_LOCAL_MACHINE, kUninstallRootKey + keyName);
    if (!key.valid()) return std::string();
    try {
        return ReadStringValue(key, "InstallLocation").value_or(std::string());
    } catch (const Error&) {
        return std::string();  // a value of another type proposes nothing
    }
}

}  // namespace zub
