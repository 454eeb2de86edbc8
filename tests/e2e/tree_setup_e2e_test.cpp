// End-to-end: setups made by the installed skinsetup with init and build from
// an application folder of a few hundred files in nested folders. Each is
// clicked through; the destination must hold the application's tree file for
// file, and the installed uninstaller must remove all of it. The signed
// setup starts and installs the same way.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/strings.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "formats/log_book.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/wizard_driver_win.h"
#include "tests/win32/registry_test_util.h"

namespace zub::e2e {

std::string g_setup, g_signedSetup, g_app;

namespace {

const char kTitle[] = "TreeApp";

std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Every file under `folder`, by its path relative to it, with its contents.
void CollectTree(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& files) {
    for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
        const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
        if (entry.isDirectory)
            CollectTree(folder + "\\" + entry.name, path, files);
        else
            files[path] = ReadText(folder + "\\" + entry.name);
    }
}

std::map<std::string, std::string> TreeOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    CollectTree(folder, "", files);
    return files;
}

class TreeSetup : public ::testing::Test {
protected:
    void SetUp() override {
        tmp_ = GetTempDir() + "zubtree" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
        destination_ = GetProgramFilesDir() + kTitle;
        programFolder_ = GetProgramsFolder(nullptr) + "\\" + kTitle;
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        DeleteFolderTree(destination_);
        DeleteFolderTree(programFolder_);
        fs::RemoveFile(GetShellFolder(0) + "\\" + kTitle + ".lnk");
        test::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle);
    }

    // Clicks the setup through every page, with nothing started at the end.
    void InstallWith(const std::string& exe) {
        TSetupProcess setup(exe, tmp_);
        HWND form = setup.WaitForWindow("TSetupForm");
        ASSERT_NE(form, nullptr);
        TWizard wizard(setup, form);
        ASSERT_TRUE(wizard.Found());
        ASSERT_TRUE(wizard.WaitForPage(std::string("Welcome to the Setup Wizard for ") + kTitle))
            << wizard.VisibleTexts().front();
        for (int page = 0; page < 3; ++page) {  // welcome, destination, program folder
            const std::string before = wizard.VisibleTexts().front();
            wizard.Click(wizard.Forward());
            ASSERT_TRUE(WaitFor([&] { return wizard.VisibleTexts().front() != before; })) << page;
        }
        ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 120000)) << wizard.VisibleTexts().front();
        for (const TControl& c : Controls(form, true))
            if (c.Class == "Button" && Checked(c.Window)) wizard.Toggle(c.Window);
        wizard.Click(wizard.Forward());
        ASSERT_TRUE(setup.WaitForExit(30000));
        EXPECT_EQ(setup.ExitCode(), 0u);
    }

    // The application's tree, plus what the setup adds: its uninstaller and its log.
    void ExpectTheApplicationsTree() {
        std::map<std::string, std::string> installed = TreeOf(destination_);
        EXPECT_EQ(installed.erase("Uninstall.exe"), 1u);
        EXPECT_EQ(installed.erase("setup.log"), 1u);
        const std::map<std::string, std::string> expected = TreeOf(g_app);
        EXPECT_GT(expected.size(), 300u);
        EXPECT_EQ(installed.size(), expected.size());
        EXPECT_TRUE(installed == expected);
    }

    std::string tmp_, destination_, programFolder_;
};

TEST_F(TreeSetup, InstallsTheApplicationsTreeFileForFileAndTheUninstallerRemovesIt) {
    InstallWith(g_setup);
    ExpectTheApplicationsTree();

    std::string command = "\"" + destination_ + "\\Uninstall.exe\" /S";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);
    // The uninstaller removes itself and its folder once it has ended.
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(destination_); }, 20000))
        << TreeOf(destination_).size() << " files stayed";
    EXPECT_FALSE(fs::PathExists(programFolder_));
}

TEST_F(TreeSetup, TheSignedSetupStartsAndInstalls) {
    InstallWith(g_signedSetup);
    ExpectTheApplicationsTree();
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        fprintf(stderr, "usage: tree_setup_e2e_tests SETUP SIGNED-SETUP APP-FOLDER [gtest options]\n");
        return 2;
    }
    zub::e2e::g_setup = zub::e2e::WindowsPathOf(argv[1]);
    zub::e2e::g_signedSetup = zub::e2e::WindowsPathOf(argv[2]);
    zub::e2e::g_app = zub::e2e::WindowsPathOf(argv[3]);
    CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
