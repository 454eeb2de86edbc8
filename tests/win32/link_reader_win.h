// Reads a saved shortcut back through the shell's own link object (COM
// initialised by the caller).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "base/file.h"
#include "base/handles_win.h"

namespace zub::test {

// What a saved shortcut holds, read back through the shell's own link object.
struct TLinkContent {
    std::string target, arguments, workingFolder, description, iconFile;
    int showCommand = 0, iconIndex = 0;
    WORD hotkey = 0;
    bool loaded = false;  // false when the file could not be read as a shortcut
};

inline TLinkContent ReadLink(const std::string& linkFile) {
    TLinkContent content;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())))
        return content;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return content;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH);
    content.loaded = SUCCEEDED(file->Load(wide, STGM_READ));
    if (!content.loaded) return content;
    char text[MAX_PATH * 2] = {};
    link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    content.target = text;
    link->GetArguments(text, sizeof text);
    content.arguments = text;
    link->GetWorkingDirectory(text, sizeof text);
    content.workingFolder = text;
    link->GetDescription(text, sizeof text);
    content.description = text;
    link->GetIconLocation(text, sizeof text, &content.iconIndex);
    content.iconFile = text;
    link->GetShowCmd(&content.showCommand);
    link->GetHotkey(&content.hotkey);
    return content;
}

// The show command as the file's header records it (offset 0x3C of the
// shell-link format); Wine's IShellLinkA does not hand it back after Load.
inline int StoredShowCommand(const std::string& linkFile) {
    std::vector<unsigned char> bytes = fs::ReadWholeFile(linkFile);
    if (bytes.size() < 0x40) return -1;
    return bytes[0x3C] | bytes[0x3D] << 8 | bytes[0x3E] << 16 | bytes[0x3F] << 24;
}

}  // namespace zub::test
