#include "uninstall/uninstall_machine_win.h"

#include <shlobj.h>
#include <windows.h>

#include "base/process_win.h"
#include "shell/registry_win.h"
#include "shell/shell_win.h"
#include "formats/log_book.h"
#include "uninstall/cleanup_copy_win.h"
#include "uninstall/removal_places.h"

namespace zub {

IUninstallMachine::TResult TWin32UninstallMachine::RemoveUninstallKey(const std::string& keyName) {
    // The setup and the uninstaller are both 32-bit programs, so both see the
    // same view of HKEY_LOCAL_MACHINE (on 64-bit Windows the 32-bit one).
    const std::string path = kUninstallRootKey + keyName;
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND) return TResult::Absent;
    if (rc == ERROR_SUCCESS) {
        // Only the entry that starts this uninstaller: a setup.log may name
        // another program's entry.
        const RegKey owned(key);
        std::optional<std::string> command;
        try {
            command = ReadStringValue(owned, "UninstallString");
        } catch (const std::exception&) {
        }
        if (!command || !UninstallStringNames(*command, OwnExecutablePath())) return TResult::Failed;
    }
    // Only the key itself: one that has gained subkeys is refused by the system and stays.
    rc = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    if (rc == ERROR_SUCCESS) return TResult::Removed;
    return rc == ERROR_FILE_NOT_FOUND ? TResult::Absent : TResult::Failed;
}

bool TWin32UninstallMachine::RemoveAfterExit(const std::string& self, const std::vector<std::string>& after) {
    return StartCleanupCopy(self, after);
}

bool TWin32UninstallMachine::RemoveAtRestart(const std::string& path) {
    return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

IUninstallMachine::TKind TWin32UninstallMachine::KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return TKind::None;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return TKind::Link;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? TKind::Folder : TKind::File;
}

std::vector<std::string> PlatformFolders(std::initializer_list<int> csidls) {
    std::vector<std::string> folders;
    char path[MAX_PATH + 1] = {};
    for (int csidl : csidls)
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) folders.emplace_back(path);
    return folders;
}

std::vector<std::string> PlatformRestartFolders() {
    // CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY
    std::vector<std::string> folders = PlatformFolders({0x0026, 0x002a, 0x0017, 0x0019});
    try {
        folders.push_back(GetProgramFilesDir());
    } catch (const std::exception&) {
    }
    return folders;
}

std::vector<std::string> PlatformSystemFolders() {
    std::vector<std::string> folders;
    char path[MAX_PATH + 1] = {};
    if (UINT n = GetWindowsDirectoryA(path, MAX_PATH); n > 0 && n < MAX_PATH) folders.emplace_back(path);
    if (UINT n = GetSystemDirectoryA(path, MAX_PATH); n > 0 && n < MAX_PATH) folders.emplace_back(path);
    // A registry value of a wrong type leaves its folder out; the others still count.
    const auto fromRegistry = [&](const auto& read) {
        try {
            folders.push_back(read());
        } catch (const std::exception&) {
        }
    };
    fromRegistry([] { return GetProgramFilesDir(); });
    static const int kFolders[] = {CSIDL_WINDOWS,
                                   CSIDL_SYSTEM,
                                   CSIDL_PROGRAM_FILES,
                                   CSIDL_PROGRAM_FILES_COMMON,
                                   CSIDL_PROFILE,
                                   CSIDL_DESKTOPDIRECTORY,
                                   CSIDL_COMMON_DESKTOPDIRECTORY,
                                   CSIDL_STARTMENU,
                                   CSIDL_COMMON_STARTMENU,
                                   CSIDL_PROGRAMS,
                                   CSIDL_COMMON_PROGRAMS,
                                   CSIDL_PERSONAL,
                                   CSIDL_APPDATA,
                                   CSIDL_COMMON_APPDATA,
                                   CSIDL_STARTUP};
    for (int csidl : kFolders)
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) folders.emplace_back(path);
    for (int index : {0, 4, 7})
        fromRegistry([index] { return GetShellFolder(index); });  // Desktop, Programs, Start Menu
    if (DWORD n = GetEnvironmentVariableA("USERPROFILE", path, MAX_PATH); n > 0 && n < MAX_PATH)
        folders.emplace_back(path);
    return folders;
}

}  // namespace zub
