// Uninstall.exe: reads the setup.log beside it and removes what the setup
// made. "/S" runs without any window and reports through the exit code.
// Started with kCleanupSwitch it is the copy that removes the original
// after its end (uninstall/cleanup_copy_win.h).
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/language_win.h"
#include "base/process_win.h"
#include "base/strings.h"
#include "uninstall/cleanup_copy_win.h"
#include "uninstall/message_box_user_win.h"
#include "uninstall/uninstall_machine_win.h"
#include "uninstall/uninstall_run.h"

namespace zub {
namespace {

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
    const TLanguage language = UserInterfaceLanguage();
    TRemovalContext context;
    context.SelfPath = OwnExecutablePath();
    // Only the log beside the program: without its own path there is none.
    if (!context.SelfPath.empty()) context.LogPath = ExtractFilePath(context.SelfPath) + kSetupLogName;
    context.SystemFolders = PlatformSystemFolders();
    context.ProgramsFolders = PlatformFolders({0x0002, 0x0017});  // CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS
    context.Desktops = PlatformFolders({0x0010, 0x0019});         // CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY
    context.RestartFolders = PlatformRestartFolders();

    TWin32UninstallMachine machine;
    TMessageBoxUser user;
    return RunUninstall(context, machine, silent ? nullptr : &user, language);
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
