#include "folders/shell_win.h"

#include <iterator>

#include "base/error.h"
#include "base/file.h"
#include "base/handles_win.h"
#include "base/strings.h"
#include "base/win32_error.h"
#include "folders/registry_win.h"

namespace zub {
namespace {

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char* const kShellFolderNames[] = {"Desktop", "Favorites", "Fonts",      "NetHood", "Programs",
                                         "Recent",  "SendTo",    "Start Menu", "Startup", "Templates"};

// The shell's item-ID lists, freed with FreePidl.
struct TPidlTraits {
    using Handle = LPITEMIDLIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle pidl) { FreePidl(pidl); }
};
using PidlOwner = TUniqueResource<TPidlTraits>;

// The runtime's COM error: the system's text for the code.
Error ComError(HRESULT hr) {
    const std::string message = Trim(SystemMessage(static_cast<unsigned long>(hr)));
    return Error(message.empty() ? Format("OLE-Fehler %.8lX", static_cast<unsigned long>(hr)) : message);
}

std::wstring ToWide(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.pop_back();  // the terminator
    return wide;
}

template <class T>
ComPtr<T> QueryInterfaceOf(IUnknown* object, REFIID iid) {
    ComPtr<T> result;
    if (FAILED(object->QueryInterface(iid, result.put_void())) || !result)
        throw Error("Schnittstelle nicht unterst\xfctzt");
    return result;
}

}  // namespace

std::string GetProgramFilesDir() {
    RegKey key = OpenKeyForReading(HKEY_LOCAL_MACHINE, kCurrentVersionKey);
    if (!key.valid()) return std::string();
    return ReadStringValue(key, "ProgramFilesDir").value_or(std::string()) + "\\";
}

std::string GetProgramsFolder(HWND owner) {
    PidlOwner pidl;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_PROGRAMS, pidl.put())) || !pidl.get()) return std::string();
    char path[MAX_PATH + 1] = {};
    return SHGetPathFromIDListA(pidl.get(), path) ? std::string(path) : std::string();
}

std::string GetShellFolder(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kShellFolderNames))) return std::string();
    RegKey key = OpenKeyForReading(HKEY_CURRENT_USER, kShellFoldersKey);
    if (!key.valid()) return std::string();
    return ReadStringValue(key, kShellFolderNames[index]).value_or(std::string());
}

void FreePidl(LPITEMIDLIST pidl) {
    ComPtr<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(allocator.put())) && allocator) allocator->Free(pidl);
}

bool CreateShellLink(const std::string& linkFile, const TShellLink& link) {
    ComPtr<IUnknown> object;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  object.put_void());
    if (FAILED(hr)) throw ComError(hr);
    ComPtr<IShellLinkA> shellLink = QueryInterfaceOf<IShellLinkA>(object.get(), IID_IShellLinkA);
    ComPtr<IPersistFile> persistFile = QueryInterfaceOf<IPersistFile>(object.get(), IID_IPersistFile);

    // The setters' results say nothing the saved file would not: only the
    // save decides whether there is a shortcut.
    shellLink->SetPath(link.Target.c_str());
    shellLink->SetDescription(link.Description.c_str());
    shellLink->SetArguments(link.Arguments.c_str());
    shellLink->SetWorkingDirectory(link.WorkingFolder.c_str());
    if (link.UseIcon) shellLink->SetIconLocation(link.IconFile.c_str(), link.IconIndex);
    if (link.UseHotkey) shellLink->SetHotkey(link.Hotkey);
    shellLink->SetShowCmd(link.ShowCommand);

    return SUCCEEDED(persistFile->Save(ToWide(linkFile).c_str(), FALSE)) && fs::FileExists(linkFile);
}

}  // namespace zub
