#include "shell/shell_win.h"

#include <iterator>

#include "base/error.h"
#include "base/file.h"
#include "base/handles_win.h"
#include "base/strings.h"
#include "base/wide_text_win.h"
#include "base/win32_error.h"
#include "shell/registry_win.h"

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

// The shell-link object's class. The interfaces are named by __uuidof, so
// the setup needs none of the system's GUID library, which is linked whole.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The runtime's COM error: the system's text for the code.
Error ComError(HRESULT hr) {
    const std::string message = Trim(SystemMessage(static_cast<unsigned long>(hr)));
    return Error(message.empty() ? Format("OLE-Fehler %.8lX", static_cast<unsigned long>(hr)) : message);
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
    HRESULT hr = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, __uuidof(IUnknown),
                                  object.put_void());
    if (FAILED(hr)) throw ComError(hr);
    ComPtr<IShellLinkA> shellLink = QueryInterfaceOf<IShellLinkA>(object.get(), __uuidof(IShellLinkA));
    ComPtr<IPersistFile> persistFile = QueryInterfaceOf<IPersistFile>(object.get(), __uuidof(IPersistFile));

    // The setters' results say nothing the saved file would not: only the
    // save decides whether there is a shortcut.
    shellLink->SetPath(link.Target.c_str());
    shellLink->SetDescription(link.Description.c_str());
    shellLink->SetArguments(link.Arguments.c_str());
    shellLink->SetWorkingDirectory(link.WorkingFolder.c_str());
    if (link.UseIcon) shellLink->SetIconLocation(link.IconFile.c_str(), link.IconIndex);
    if (link.UseHotkey) shellLink->SetHotkey(link.Hotkey);
    shellLink->SetShowCmd(link.ShowCommand);

    return SUCCEEDED(persistFile->Save(ToWide(linkFile).data(), FALSE)) && fs::FileExists(linkFile);
}

}  // namespace zub
