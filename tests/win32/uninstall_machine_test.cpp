// The uninstaller's Windows side: the uninstall entry and the platform's own folders.
#include "base/process_win.h"
#include "uninstall/uninstall_machine_win.h"

#include <gtest/gtest.h>

#include "shell/registry_win.h"
#include "shell/shell_win.h"
#include "formats/log_book.h"
#include "uninstall/cleanup_copy_win.h"
#include "tests/win32/registry_test_util.h"

namespace zub {
namespace {

TEST(UninstallMachine, RemovesTheEntryButNeverAKeyThatHoldsKeys) {
    const std::string name = "ZubUninstallMachineTest";
    const std::string path = kUninstallRootKey + name;
    TWin32UninstallMachine machine;
    EXPECT_EQ(machine.RemoveUninstallKey(name), IUninstallMachine::TResult::Absent);

    // An entry that starts another program is never this uninstaller's to remove.
    WriteStringValue(CreateKeyForWriting(HKEY_LOCAL_MACHINE, path), "DisplayName", "x");
    EXPECT_EQ(machine.RemoveUninstallKey(name), IUninstallMachine::TResult::Failed);
    WriteStringValue(CreateKeyForWriting(HKEY_LOCAL_MACHINE, path), "UninstallString", "\"C:\\Other\\Uninstall.exe\"");
    EXPECT_EQ(machine.RemoveUninstallKey(name), IUninstallMachine::TResult::Failed);
    EXPECT_TRUE(test::KeyExists(HKEY_LOCAL_MACHINE, path));

    WriteStringValue(CreateKeyForWriting(HKEY_LOCAL_MACHINE, path), "UninstallString",
                     "\"" + OwnExecutablePath() + "\" /S");
    CreateKeyForWriting(HKEY_LOCAL_MACHINE, path + "\\Other");
    EXPECT_EQ(machine.RemoveUninstallKey(name), IUninstallMachine::TResult::Failed);
    EXPECT_TRUE(test::KeyExists(HKEY_LOCAL_MACHINE, path + "\\Other"));

    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (path + "\\Other").c_str());
    EXPECT_EQ(machine.RemoveUninstallKey(name), IUninstallMachine::TResult::Removed);
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, path));
    EXPECT_TRUE(test::KeyExists(HKEY_LOCAL_MACHINE, kUninstallRootKey));
    test::DeleteKeyTree(HKEY_LOCAL_MACHINE, path);
}

TEST(UninstallMachine, KnowsThePlatformsOwnFolders) {
    const std::vector<std::string> folders = PlatformSystemFolders();
    char windows[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    for (const std::string& expected : {std::string(windows), GetShellFolder(0), GetProgramsFolder(nullptr)}) {
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ClassifyPath(expected, folders), TPathVerdict::SystemFolder) << expected;
    }
    EXPECT_EQ(ClassifyPath(GetProgramsFolder(nullptr) + "\\App", folders), TPathVerdict::Usable);
}

}  // namespace
}  // namespace zub
