// Uninstall.exe: reads the setup.log beside it and removes what the setup
// made. "/S" runs without any window and reports through the exit code.
//
// A running program cannot delete its own file, so at the end it copies
// itself into a fresh folder in the temporary directory and starts the copy
// with "/CLEANUP": the copy waits for the original to end, deletes it and the
// folders that held nothing else, and leaves itself to the platform's delete
// at the next restart.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/strings.h"
#include "folders/shell.h"
#include "uninstall/uninstall_machine_win.h"
#include "uninstall/uninstall_run.h"

namespace zub {
namespace {

const char kCleanupSwitch[] = "/CLEANUP";

// A function of a system library that older systems may lack; null then.
template <typename T>
T Function(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Libraries are loaded from the system folder only, never from the program's
// own folder or the current one (the copy runs from the temporary directory).
void HardenDllSearch() {
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    // Not there before Windows 7 (without its update); SetDllDirectoryA("") at least drops the current folder.
    if (auto set = Function<TSetDefaultDllDirectories>(kernel, "SetDefaultDllDirectories")) set(kSearchSystem32);
    using TSetDllDirectoryA = BOOL(WINAPI*)(LPCSTR);
    if (auto set = Function<TSetDllDirectoryA>(kernel, "SetDllDirectoryA")) set("");
}

std::string OwnPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    // The long form, as the setup wrote the paths in the log.
    char longPath[MAX_PATH + 1] = {};
    const DWORD m = GetLongPathNameA(path, longPath, MAX_PATH);
    return m > 0 && m < MAX_PATH ? std::string(longPath) : std::string(path);
}

// One argument as the runtime's command-line parser reads it back: quoted,
// with the backslashes before the closing quote doubled.
std::string Quoted(const std::string& argument) {
    size_t trailing = 0;
    while (trailing < argument.size() && argument[argument.size() - 1 - trailing] == '\\') ++trailing;
    return "\"" + argument + std::string(trailing, '\\') + "\"";
}

class TMessageBoxUser : public IUninstallUser {
public:
    explicit TMessageBoxUser(LANGID language) : language_(language) {}
    bool Ask(const std::string& caption, const std::string& text) override {
        // The buttons in the user's language: Yes and No, or Ja and Nein.
        return MessageBoxExA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND,
                             language_) == IDYES;
    }
    void Tell(const std::string& caption, const std::string& text, bool problem) override {
        MessageBoxExA(nullptr, text.c_str(), caption.c_str(),
                      MB_OK | MB_SETFOREGROUND | (problem ? MB_ICONWARNING : MB_ICONINFORMATION), language_);
    }

private:
    LANGID language_;
};

// A folder of our own in the temporary directory, so that nothing planted
// there beforehand lies beside the copy.
std::string MakePrivateTempFolder() {
    const std::string temp = GetTempDir();
    for (int n = 1; n < 10000; ++n) {
        const std::string folder = temp + "ZubUninstall" + std::to_string(n);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

// Copies the program and starts the copy, which removes `self` and then
// `folders` once this process has ended. False when that cannot be arranged.
bool StartCleanupCopy(const std::string& self, const std::vector<std::string>& folders) {
    const std::string folder = MakePrivateTempFolder();
    if (folder.empty()) return false;
    const std::string copy = folder + "Uninstall.exe";
    if (!CopyFileA(self.c_str(), copy.c_str(), FALSE)) {
        RemoveDirectoryA(folder.c_str());
        return false;
    }
    HANDLE me = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0))
        return false;
    std::string command = Quoted(copy) + " " + kCleanupSwitch + " " + std::to_string(reinterpret_cast<uintptr_t>(me)) +
                          " " + Quoted(self);
    for (const std::string& f : folders) command += " " + Quoted(f);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(copy.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                        &startup, &process);
    CloseHandle(me);
    if (!started) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool SameContent(const std::string& a, const std::string& b) {
    try {
        return fs::ReadWholeFile(a) == fs::ReadWholeFile(b);
    } catch (const std::exception&) {
        return false;
    }
}

// The copy's work: wait for the original, delete it (only when it is the
// program this copy was made from), then the folders, as far as they are empty.
int RunCleanup(int argc, char** argv) {
    if (argc < 4) return kUninstallNoLog;
    const HANDLE original = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 10)));
    WaitForSingleObject(original, 60000);
    CloseHandle(original);
    const std::string self = OwnPath();
    const std::string target = argv[3];
    if (SameContent(self, target)) {
        // The system may hold the image a moment after the process has ended.
        for (int attempt = 0; attempt < 100; ++attempt) {
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (DeleteFileA(target.c_str()) || GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) break;
            Sleep(100);
        }
        for (int i = 4; i < argc; ++i) RemoveDirectoryA(argv[i]);
    }
    MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(ExtractFilePath(self).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}

bool IsSwitch(const char* argument, const char* name) { return lstrcmpiA(argument, name) == 0; }

}  // namespace

// "/S" anywhere on the command line: no window at all.
bool IsSilent(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (IsSwitch(argv[i], "/S")) return true;
    return false;
}

int RunUninstaller(int argc, char** argv) {
    if (argc >= 2 && IsSwitch(argv[1], kCleanupSwitch)) return RunCleanup(argc, argv);
    const bool silent = IsSilent(argc, argv);
    const LANGID uiLanguage = GetUserDefaultUILanguage();
    const TUninstallLanguage language = UninstallLanguageOf(PRIMARYLANGID(uiLanguage));
    TRemovalContext context;
    context.SelfPath = OwnPath();
    // Only the log beside the program: without its own path there is none.
    if (!context.SelfPath.empty()) context.LogPath = ExtractFilePath(context.SelfPath) + "setup.log";
    context.SystemFolders = PlatformSystemFolders();

    TWin32UninstallMachine machine;
    TMessageBoxUser user(uiLanguage);
    const TUninstallResult result = RunUninstall(context, machine, silent ? nullptr : &user, language);
    if (result.RemoveSelfAfterExit) StartCleanupCopy(context.SelfPath, result.FoldersAfterExit);
    return result.ExitCode;
}

}  // namespace zub

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    zub::HardenDllSearch();
    try {
        return zub::RunUninstaller(__argc, __argv);
    } catch (const std::exception& e) {
        if (!zub::IsSilent(__argc, __argv)) MessageBoxA(nullptr, e.what(), "Uninstall", MB_OK | MB_ICONERROR);
        return zub::kUninstallIncomplete;
    }
}
