#include "dialogs/dir_machine_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include "base/handles_win.h"
#include "base/wide_text_win.h"

namespace zub {
namespace {

class TWin32FolderSearch : public TFolderSearch {
public:
    explicit TWin32FolderSearch(FindHandle handle) : handle_(std::move(handle)) {}
    bool Next(TSearchEntry& entry) override {
        WIN32_FIND_DATAA data;
        if (!FindNextFileA(handle_.get(), &data)) return false;
        entry.Name = data.cFileName;
        entry.Attributes = data.dwFileAttributes;
        return true;
    }

private:
    FindHandle handle_;
};

// An item-ID list relative to its shell folder, freed with the shell's allocator.
class TWin32ShellItem : public TShellItem {
public:
    explicit TWin32ShellItem(LPITEMIDLIST pidl) : pidl_(pidl) {}
    ~TWin32ShellItem() override { CoTaskMemFree(pidl_); }
    TWin32ShellItem(const TWin32ShellItem&) = delete;
    TWin32ShellItem& operator=(const TWin32ShellItem&) = delete;
    LPCITEMIDLIST get() const { return pidl_; }

private:
    LPITEMIDLIST pidl_;
};

class TWin32ShellFolder : public TShellFolder {
public:
    explicit TWin32ShellFolder(ComPtr<IShellFolder> folder) : folder_(std::move(folder)) {}

    std::unique_ptr<TShellItem> ParseName(const std::string& name) override {
        std::vector<wchar_t> wide = ToWide(name);
        LPITEMIDLIST pidl = nullptr;
        if (FAILED(folder_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr)) || !pidl)
            return nullptr;
        return std::make_unique<TWin32ShellItem>(pidl);
    }
    std::shared_ptr<TShellFolder> BindToFolder(const TShellItem& item) override {
        ComPtr<IShellFolder> folder;
        auto pidl = static_cast<const TWin32ShellItem&>(item).get();
        if (FAILED(folder_->BindToObject(pidl, nullptr, __uuidof(IShellFolder), folder.put_void())) || !folder)
            return nullptr;
        return std::make_shared<TWin32ShellFolder>(std::move(folder));
    }
    bool Attributes(const TShellItem& item, uint32_t mask, uint32_t& attributes) override {
        LPCITEMIDLIST pidl = static_cast<const TWin32ShellItem&>(item).get();
        SFGAOF result = mask;
        if (FAILED(folder_->GetAttributesOf(1, &pidl, &result))) return false;
        attributes = result & mask;
        return true;
    }

private:
    ComPtr<IShellFolder> folder_;
};

std::string FromBuffer(const char* text, DWORD length, DWORD capacity) {
    return length == 0 || length >= capacity ? std::string() : std::string(text, length);
}

}  // namespace

uint32_t TWin32DirMachine::LogicalDrives() { return GetLogicalDrives(); }

int TWin32DirMachine::DriveType(const std::string& root) { return static_cast<int>(GetDriveTypeA(root.c_str())); }

bool TWin32DirMachine::VolumeInformation(const std::string& root, std::string& label, uint32_t& serial) {
    char buffer[24] = {};
    DWORD number = 0;
    if (!GetVolumeInformationA(root.c_str(), buffer, sizeof buffer, &number, nullptr, nullptr, nullptr, 0))
        return false;
    label = buffer;
    serial = number;
    return true;
}

std::unique_ptr<TFolderSearch> TWin32DirMachine::FindFirst(const std::string& pattern, TSearchEntry& first) {
    WIN32_FIND_DATAA data;
    FindHandle handle(FindFirstFileA(pattern.c_str(), &data));
    if (!handle.valid()) return nullptr;
    first.Name = data.cFileName;
    first.Attributes = data.dwFileAttributes;
    return std::make_unique<TWin32FolderSearch>(std::move(handle));
}

bool TWin32DirMachine::PathAttributes(const std::string& path, uint32_t& attributes) {
    DWORD result = GetFileAttributesA(path.c_str());
    if (result == INVALID_FILE_ATTRIBUTES) return false;
    attributes = result;
    return true;
}

std::string TWin32DirMachine::CurrentDirectory() {
    char buffer[MAX_PATH + 1];
    return FromBuffer(buffer, GetCurrentDirectoryA(sizeof buffer, buffer), sizeof buffer);
}

std::string TWin32DirMachine::WindowsDirectory() {
    char buffer[MAX_PATH + 1];
    return FromBuffer(buffer, GetWindowsDirectoryA(buffer, sizeof buffer), sizeof buffer);
}

unsigned TWin32DirMachine::SetErrorMode(unsigned mode) { return ::SetErrorMode(mode); }

int TWin32DirMachine::ShellIcon(const std::string& path, bool open) {
    SHFILEINFOA info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, flags)) return -1;
    return info.iIcon;
}

std::string TWin32DirMachine::ShellDisplayName(const std::string& path) {
    SHFILEINFOA info = {};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME)) return std::string();
    return info.szDisplayName;
}

std::shared_ptr<TShellFolder> TWin32DirMachine::DrivesFolder() {
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) return nullptr;
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl)) || !pidl) return nullptr;
    TWin32ShellItem drives(pidl);
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(drives.get(), nullptr, __uuidof(IShellFolder), folder.put_void())) || !folder)
        return nullptr;
    return std::make_shared<TWin32ShellFolder>(std::move(folder));
}

std::string TWin32DirMachine::UpperCase(const std::string& text) {
    std::string result = text;
    if (!result.empty()) CharUpperBuffA(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

std::string TWin32DirMachine::LowerCase(const std::string& text) {
    std::string result = text;
    if (!result.empty()) CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

int TWin32DirMachine::CompareNoCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

int TWin32DirMachine::CompareCase(const std::string& a, const std::string& b) { return lstrcmpA(a.c_str(), b.c_str()); }

bool TWin32DirMachine::SameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

HIMAGELIST SystemSmallImageList() {
    char windows[MAX_PATH + 2] = {};
    UINT n = GetWindowsDirectoryA(windows, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return nullptr;
    lstrcatA(windows, "\\");
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(windows, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

}  // namespace zub
