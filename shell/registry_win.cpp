#include "shell/registry_win.h"

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "base/strings.h"

namespace zub {

RegKey OpenKeyForReading(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return RegKey();
    return RegKey(key);
}

RegKey CreateKeyForWriting(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                              nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(rc));  // for the caller's message
        return RegKey();
    }
    return RegKey(key);
}

std::optional<std::string> ReadStringValue(const RegKey& key, const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<char> buffer;
    // The value may grow between the two calls: ask again until it fits.
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw Error(Format("Ung\xfcltiger Datentyp f\xfcr '%s'", name.c_str()));
        if (rc == ERROR_SUCCESS && size <= buffer.size()) break;
        buffer.assign(size + 1, '\0');
        size = static_cast<DWORD>(buffer.size());
        rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    if (buffer.empty()) return std::string();
    // The stored data need not end in a terminator, or may hold several.
    std::string text(buffer.data(), std::min<size_t>(size, buffer.size()));
    size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

void WriteStringValue(const RegKey& key, const std::string& name, const std::string& data) {
    LONG rc = RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1));
    if (rc != ERROR_SUCCESS) throw Error(Format("Konnte Daten f\xfcr '%s' nicht setzen", name.c_str()));
}

void WriteDwordValue(const RegKey& key, const std::string& name, uint32_t data) {
    const DWORD value = data;
    LONG rc = RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (rc != ERROR_SUCCESS) throw Error(Format("Konnte Daten f\xfcr '%s' nicht setzen", name.c_str()));
}

void DeleteValue(const RegKey& key, const std::string& name) { RegDeleteValueA(key.get(), name.c_str()); }

}  // namespace zub
