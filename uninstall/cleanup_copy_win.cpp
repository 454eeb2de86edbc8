#include "uninstall/cleanup_copy_win.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/payload_layout.h"
#include "base/error.h"
#include "base/file.h"
#include "base/folder_access.h"
#include "base/process_win.h"
#include "base/strings.h"
#include "shell/shell.h"
#include "uninstall/removal_after_exit.h"
#include "uninstall/uninstall_machine_win.h"

namespace zub {

namespace {

// One argument as the runtime's command-line parser reads it back: quoted,
// with the backslashes before the closing quote doubled.
std::string Quoted(const std::string& argument) {
    size_t trailing = 0;
    while (trailing < argument.size() && argument[argument.size() - 1 - trailing] == '\\') ++trailing;
    return "\"" + argument + std::string(trailing, '\\') + "\"";
}

// A folder of our own in the temporary directory, so that nothing planted
// there beforehand lies beside the copy, and private as the setup's work
// folder is: the copy runs elevated, so no unelevated program may replace it
// or put a DLL beside it.
std::string MakePrivateTempFolder() {
    try {
        const std::string temp = GetTempDir();
        if (!fs::IsFullPath(temp)) return std::string();
        return fs::CreateNumberedFolder(temp + "ZubUninstall", PrivateFolderAccess(CurrentAccount())) + "\\";
    } catch (const Error&) {
        return std::string();
    }
}

}  // namespace

bool StartCleanupCopy(const std::string& self, const std::vector<std::string>& after) {
    const std::string folder = MakePrivateTempFolder();
    if (folder.empty()) return false;
    const std::string copy = folder + kUninstallerName;
    // Whatever fails, the copy and its folder do not stay behind.
    const auto giveUp = [&] {
        DeleteFileA(copy.c_str());
        RemoveDirectoryA(folder.c_str());
        return false;
    };
    if (!CopyFileA(self.c_str(), copy.c_str(), FALSE)) return giveUp();
    HANDLE me = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0))
        return giveUp();
    std::string command = Quoted(copy) + " " + kCleanupSwitch + " " + std::to_string(reinterpret_cast<uintptr_t>(me)) +
                          " " + Quoted(self);
    for (const std::string& path : after) command += " " + Quoted(path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(copy.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                        &startup, &process);
    CloseHandle(me);
    if (!started) return giveUp();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

namespace {

bool SameContent(const std::string& a, const std::string& b) {
    try {
        return fs::ReadWholeFile(a) == fs::ReadWholeFile(b);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int RunCleanup(int argc, char** argv) {
    if (argc < 4) return 2;
    const HANDLE original = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 10)));
    // However long the final message stays open: the original is removed only once it has ended.
    WaitForSingleObject(original, INFINITE);
    CloseHandle(original);
    const std::string self = OwnExecutablePath();
    const std::string target = argv[3];
    if (SameContent(self, target)) {
        TWin32UninstallMachine machine;
        int attempts = 0;
        // Ten seconds for the system to let go of the image; then the restart.
        FinishAfterExit(target, std::vector<std::string>(argv + 4, argv + argc), PlatformRestartFolders(), machine,
                        [&] {
                            if (++attempts >= 100) return false;
                            Sleep(100);
                            return true;
                        });
    }
    MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    const std::string folder = ExtractFilePath(self);
    MoveFileExA(folder.substr(0, folder.size() - 1).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}

}  // namespace zub
