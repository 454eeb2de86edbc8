// Registry access for the few keys the setup reads and writes: keys that are
// only read are opened for reading, so a user without write rights still
// finds the platform's folders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/handles_win.h"

namespace zub {

// An existing key opened with KEY_READ; empty (not valid) when it cannot be opened.
RegKey OpenKeyForReading(HKEY root, const std::string& path);

// A key opened for setting values, created with its missing parents when
// needed; empty when it cannot be opened or created, with the system's
// error code as the thread's last error.
RegKey CreateKeyForWriting(HKEY root, const std::string& path);

// A text value (REG_SZ, or REG_EXPAND_SZ left unexpanded); nothing when the
// value does not exist. A value of another type raises
// "Ungültiger Datentyp für '%s'" with the value name.
std::optional<std::string> ReadStringValue(const RegKey& key, const std::string& name);

// Sets a REG_SZ value; raises "Konnte Daten für '%s' nicht setzen" with the
// value name when the system refuses.
void WriteStringValue(const RegKey& key, const std::string& name, const std::string& data);

// Sets a REG_DWORD value; raises as WriteStringValue does.
void WriteDwordValue(const RegKey& key, const std::string& name, uint32_t data);

// Removes a value when the key has it; a value that is not there is no error.
void DeleteValue(const RegKey& key, const std::string& name);

}  // namespace zub
