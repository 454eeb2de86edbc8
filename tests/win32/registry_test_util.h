// Registry helpers for tests: list a key's values, remove the keys a test made.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace zub::test {

struct TRegValue {
    DWORD type = 0;
    std::string data;  // raw bytes
    bool operator==(const TRegValue& o) const { return type == o.type && data == o.data; }
};

// REG_SZ data as the system stores it: the text and its terminator.
inline TRegValue SzValue(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }
// REG_DWORD data: four bytes, little-endian.
inline TRegValue DwordValue(DWORD value) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

// Every value of a key by name; empty when the key does not open.
inline std::map<std::string, TRegValue> ListValues(HKEY root, const std::string& path) {
    std::map<std::string, TRegValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name;
        std::vector<BYTE> data(65536);
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) break;
        values[std::string(name, nameSize)] = {type, std::string(data.begin(), data.begin() + dataSize)};
    }
    RegCloseKey(key);
    return values;
}

inline bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Removes a key with all its subkeys.
inline void DeleteKeyTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (const std::string& child : children) DeleteKeyTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

}  // namespace zub::test
