// The platform's standard folders and shortcut files (Windows shell).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "shell/shell.h"

namespace zub {

// The program-files folder from the registry followed by "\"; just "\" when
// the key has no such value, "" when the key cannot be opened.
std::string GetProgramFilesDir();

// The current user's Start menu Programs folder, without a trailing
// backslash; "" when the shell does not know it.
std::string GetProgramsFolder(HWND owner);

// A folder from the current user's per-user shell folders key: 0 "Desktop",
// 1 "Favorites", 2 "Fonts", 3 "NetHood", 4 "Programs", 5 "Recent", 6 "SendTo",
// 7 "Start Menu", 8 "Startup", 9 "Templates". "" for any other index, a
// missing key or a missing value.
std::string GetShellFolder(int index);

// Frees an item-ID list the shell handed out, through the shell's allocator.
void FreePidl(LPITEMIDLIST pidl);

// What a shortcut file records. The icon and hotkey are set only when their
// flags are; ShowCommand is an SW_ value (1: normal window).
struct TShellLink {
    std::string Target;
    std::string Arguments;
    std::string WorkingFolder;
    std::string Description;
    bool UseIcon = false;
    std::string IconFile;
    int IconIndex = 0;
    bool UseHotkey = false;
    uint16_t Hotkey = 0;
    int ShowCommand = SW_SHOWNORMAL;
};

// Writes the shortcut file `linkFile` (full name with ".lnk"), replacing an
// existing one. Needs COM initialised on the calling thread. Raises when the
// shell's link object cannot be made or lacks IShellLinkA or IPersistFile.
// A link that cannot be saved (a missing folder, a name a file may not have)
// raises nothing, so an installation goes on; the result says whether the
// file was written.
[[nodiscard]] bool CreateShellLink(const std::string& linkFile, const TShellLink& link);

}  // namespace zub
