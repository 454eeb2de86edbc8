#include "setup/install_system_win.h"

#include <shellapi.h>

#include <cctype>
#include <vector>

#include "base/file.h"
#include "base/folder_access.h"
#include "base/handles_win.h"
#include "base/strings.h"
#include "base/win32_error.h"
#include "shell/desktop_shell_win.h"
#include "shell/shell_win.h"
#include "setup/uninstall_key_win.h"

namespace zub {
namespace {

// Copies are made in blocks of this size, with the pump called between them:
// small enough to answer the window several times a second on a slow disk.
constexpr DWORD kCopyBlock = 4 << 20;

// The attributes a copy carries over, as the system's own file copy does.
constexpr DWORD kCopiedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

TCopyResult CopyFailure(DWORD code) {
    std::string reason = SystemMessage(code);
    return {false, reason.empty() ? Format("Code %lu", static_cast<unsigned long>(code)) : reason};
}

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) || message == WM_NCXBUTTONDOWN ||
           message == WM_NCXBUTTONUP || message == WM_NCXBUTTONDBLCLK;
}

}  // namespace

bool IsFolderPresent(const std::string& path) {
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    bool present = false;
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\') {
        int bit = std::toupper(static_cast<unsigned char>(path[0])) - 'A';
        present = bit >= 0 && bit < 26 && (GetLogicalDrives() >> bit & 1u) != 0;
    } else if (path.find_first_of("*?") == std::string::npos) {
        std::string name = path;
        if (!name.empty() && name.back() == '\\') name.pop_back();
        WIN32_FIND_DATAA data;
        FindHandle find(FindFirstFileA(name.c_str(), &data));
        present = find.valid() && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    SetErrorMode(previous);
    return present;
}

bool TWin32InstallSystem::FileExists(const std::string& path) { return fs::FileExists(path); }

int TWin32InstallSystem::CreateDir(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return 0;
    DWORD code = GetLastError();
    return code ? static_cast<int>(code) : ERROR_GEN_FAILURE;
}

int TWin32InstallSystem::CreateInstallationDir(const std::string& path) {
    if (!CurrentAccount().Elevated) return CreateDir(path);
    if (fs::CreateDir(path, ProgramFilesAccess())) return 0;
    const int code = fs::LastErrorCode();
    return code ? code : ERROR_GEN_FAILURE;
}

// Block by block rather than through CopyFileExA, whose progress routine is
// not called on every platform the setup runs on (Wine never calls it), so a
// large file would leave the window unanswered for the whole copy.
TCopyResult TWin32InstallSystem::CopyFile(const std::string& source, const std::string& target,
                                          const std::function<void()>& pump) {
    UniqueHandle in(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.valid()) return CopyFailure(GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(in.get(), &info)) return CopyFailure(GetLastError());

    // An existing target is replaced; a read-only one refuses, as with CopyFile.
    UniqueHandle out(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!out.valid()) return CopyFailure(GetLastError());
    auto fail = [&](DWORD code) {
        out.reset();
        DeleteFileA(target.c_str());  // no half-written file is left behind
        return CopyFailure(code);
    };
    std::vector<char> buffer(kCopyBlock);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), buffer.data(), kCopyBlock, &got, nullptr)) return fail(GetLastError());
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(out.get(), buffer.data(), got, &written, nullptr)) return fail(GetLastError());
        if (written != got) return fail(ERROR_DISK_FULL);
        pump();
    }
    // The copy keeps the source's time of last change, as the system's copy does.
    SetFileTime(out.get(), nullptr, nullptr, &info.ftLastWriteTime);
    if (!CloseHandle(out.release())) return fail(GetLastError());
    if (DWORD attributes = info.dwFileAttributes & kCopiedAttributes)
        SetFileAttributesA(target.c_str(), attributes);
    return {true, ""};
}

bool TWin32InstallSystem::RemoveFile(const std::string& path) {
    // A copy keeps the source's read-only attribute; the rollback removes it all the same.
    fs::SetReadOnly(path, false);
    return fs::RemoveFile(path);
}

TCopyResult TWin32InstallSystem::RenameFile(const std::string& from, const std::string& to) {
    if (fs::RenameFile(from, to)) return {true, ""};
    return CopyFailure(GetLastError());
}
bool TWin32InstallSystem::RemoveDir(const std::string& path) { return fs::RemoveDir(path); }

std::string TWin32InstallSystem::ProgramsFolder() { return GetProgramsFolder(owner_); }
std::string TWin32InstallSystem::DesktopFolder() { return GetShellFolder(0); }
std::string TWin32InstallSystem::ProgramFilesFolder() { return GetProgramFilesDir(); }

std::string TWin32InstallSystem::WindowsFolder() {
    // The system's own Windows folder, also on a terminal server, where
    // GetWindowsDirectory names a private one.
    char path[MAX_PATH + 1] = {};
    UINT n = GetSystemWindowsDirectoryA(path, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? std::string(path, n) : std::string();
}

bool TWin32InstallSystem::CreateShortcut(const std::string& linkFile, const TShortcut& link) {
    TShellLink shellLink;
    shellLink.Target = link.Target;
    shellLink.Arguments = link.Arguments;
    shellLink.WorkingFolder = link.WorkingFolder;
    shellLink.Description = link.Description;
    shellLink.ShowCommand = link.ShowCommand;
    return CreateShellLink(linkFile, shellLink);
}

bool TWin32InstallSystem::RunsElevated() { return CurrentAccount().Elevated; }

TStartResult TWin32InstallSystem::StartAsDesktopUser(const std::string& file, const std::string& parameters,
                                                     const std::string& folder) {
    std::string reason;
    if (StartThroughDesktopShell(file, parameters, folder, reason)) return {true, ""};
    return {false, reason};
}

TStartResult TWin32InstallSystem::ShellOpen(const std::string& file, const std::string& parameters) {
    const HINSTANCE started =
        ShellExecuteA(owner_, "open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOW);
    // Above 32 is success; at or below it the system's code, mostly that of the last error.
    const INT_PTR code = reinterpret_cast<INT_PTR>(started);
    if (code > 32) return {true, ""};
    const std::string reason = Trim(SystemMessage(GetLastError()));
    return {false, reason.empty() ? Format("Code %d", static_cast<int>(code)) : reason};
}

void TWin32InstallSystem::SetCurrentDir(const std::string& path) { SetCurrentDirectoryA(path.c_str()); }

std::string TWin32InstallSystem::Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return Format("%04u%02u%02u", unsigned(now.wYear), unsigned(now.wMonth), unsigned(now.wDay));
}

void TWin32InstallSystem::WriteUninstallEntry(const TUninstallEntry& entry) { zub::WriteUninstallEntry(entry); }

TCopyPageWin::TCopyPageWin(HWND form, TLabel& label, TProgressBar& progress, std::string caption)
    : form_(form), label_(label), progress_(progress), caption_(std::move(caption)) {}

void TCopyPageWin::SetCopyMessage(const std::string& text) { label_.SetText(text); }

void TCopyPageWin::SetProgress(int position) { progress_.SetPosition(position); }

bool TCopyPageWin::BelongsToForm(HWND window) const {
    return window && (window == form_ || IsChild(form_, window));
}

void TCopyPageWin::ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not ours to take: the message loop ends once the run is over.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (BelongsToForm(message.hwnd) && (IsInput(message.message) || message.message == WM_CLOSE)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool TCopyPageWin::AskRetry(const std::string& question) {
    return MessageBoxA(form_, question.c_str(), caption_.c_str(), MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY;
}

}  // namespace zub
