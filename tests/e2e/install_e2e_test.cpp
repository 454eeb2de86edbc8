// End-to-end: real setups made from the demo projects are clicked through
// every page and install; afterwards every file, shortcut, setup.log line and
// registry value is read back. Then the failures: a missing file asks Retry
// or Cancel, Cancel and a program folder that cannot be made leave nothing of
// the run behind, and a long run moves the progress bar.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "archive/payload_builder.h"
#include "base/file.h"
#include "base/strings.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "formats/log_book.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_project_win.h"
#include "tests/e2e/wizard_driver_win.h"
#include "tests/win32/link_reader_win.h"
#include "tests/win32/registry_test_util.h"

namespace zub::e2e {

// From the command line: the English and German demo setups made by the
// authoring tool, the staged projects they were made from, the stub, and the
// uninstaller the tool put in.
std::string g_englishSetup, g_germanSetup, g_englishProject, g_germanProject, g_stub, g_uninstaller;

namespace {

const char kTitle[] = "SkinSetup Demo";

// The Addfile values of a Setup.ini, in order.
std::vector<std::string> AddFilesOf(const std::string& setupIni) {
    std::vector<std::string> files;
    size_t at = 0;
    while ((at = setupIni.find("Addfile=", at)) != std::string::npos) {
        at += 8;
        files.push_back(setupIni.substr(at, setupIni.find_first_of("\r\n", at) - at));
    }
    return files;
}

struct TTitleSearch {
    const char* ClassName;
    std::string Part;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTitled(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TTitleSearch*>(param);
    char name[64] = {}, title[512] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpiA(name, search->ClassName) == 0 && std::string(title).find(search->Part) != std::string::npos)
        search->Found.push_back(window);
    return TRUE;
}

// Top-level windows of any process with this class whose title holds `part`.
std::vector<HWND> WindowsTitled(const char* className, const std::string& part) {
    TTitleSearch search{className, part, {}};
    EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void CloseNotepads() {
    for (HWND window : WindowsTitled("Notepad", "")) PostMessageA(window, WM_CLOSE, 0, 0);
    WaitFor([] { return WindowsTitled("Notepad", "").empty(); }, 5000);
}

// Runs the uninstall entry's command with "/S", as a silent removal would,
// and returns its exit code once it has ended.
DWORD RunUninstallEntry(const std::string& keyName) {
    std::map<std::string, test::TRegValue> entry =
        test::ListValues(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + keyName);
    std::string command = entry["UninstallString"].data.c_str();
    command += " /S";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << command;
        return 99;
    }
    CloseHandle(pi.hThread);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return code;
}

class Install : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        root_ = GetTempDir() + "zubinst" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        DeleteFolderTree(root_);
        tmp_ = root_ + "\\tmp\\";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
        record_ = root_ + "\\launched.txt";
        SetDemoRecord(record_);
        destination_ = GetProgramFilesDir() + kTitle;
        programFolder_ = GetProgramsFolder(nullptr) + "\\" + kTitle;
        desktopLink_ = GetShellFolder(0) + "\\" + kTitle + ".lnk";
        RemoveInstallation();
    }
    void TearDown() override {
        // Programs the setup started go first, so that a failing removal
        // cannot leave them running (and ctest waiting for them).
        CloseNotepads();
        SetDemoRecord("");
        // The shell may still hold a shortcut it was told about for a moment.
        EXPECT_TRUE(WaitFor([this] { return Removed([this] { RemoveInstallation(); }); }, 5000));
        EXPECT_TRUE(WaitFor([this] { return Removed([this] { DeleteFolderTree(root_); }); }, 5000));
    }
    static bool Removed(const std::function<void()>& remove) {
        try {
            remove();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    void RemoveInstallation() {
        DeleteFolderTree(destination_);
        DeleteFolderTree(programFolder_);
        fs::SetReadOnly(programFolder_, false);
        fs::RemoveFile(programFolder_);  // a file in the way, made by a test
        fs::RemoveFile(desktopLink_);
        test::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle);
    }

    // A copy of a staged demo project with its Setup.ini changed by `edit`,
    // made into a setup.
    std::string SetupFrom(const std::string& project, const std::function<std::string(std::string)>& edit,
                          const std::function<void(const std::string&)>& addFiles = nullptr) {
        const std::string exe = root_ + "\\TestSetup.exe";
        MakeProjectSetup(project, g_uninstaller, g_stub, root_, exe, edit, addFiles);
        return exe;
    }

public:
    // Clicks Forward and waits for another page.
    static bool Next(TWizard& wizard) {
        const std::string before = wizard.VisibleTexts().front();
        wizard.Click(wizard.Forward());
        return WaitFor([&] { return wizard.VisibleTexts().front() != before; });
    }
    // Clicks from the welcome page through the licence (consent given), the
    // destination and the program-folder page, whose Forward starts the copy.
    static void ClickToTheCopy(TWizard& wizard, const std::string& welcome) {
        const HWND form = wizard.Form();
        ASSERT_TRUE(wizard.WaitForPage(welcome)) << wizard.VisibleTexts().front();
        ASSERT_TRUE(Next(wizard));
        if (FindVisible(form, "Edit") && !FindVisible(form, "ListBox")) {  // the licence page
            HWND consent = FindVisible(form, "Button");
            ASSERT_NE(consent, nullptr);
            wizard.Toggle(consent);
            ASSERT_TRUE(Next(wizard));
        }
        ASSERT_TRUE(Next(wizard));  // from the destination page
        ASSERT_NE(FindVisible(form, "ListBox"), nullptr) << "not on the program-folder page";
        wizard.Click(wizard.Forward());
    }

protected:
    std::vector<std::string> WorkFolders() {
        std::vector<std::string> names;
        for (const fs::DirEntry& e : fs::ListDirectory(tmp_))
            if (e.name.rfind("ZCTemp", 0) == 0) names.push_back(e.name);
        return names;
    }

    std::string root_, tmp_, record_, destination_, programFolder_, desktopLink_;
};

struct TDemo {
    const std::string* Setup;
    const std::string* Project;
    const char* Welcome;
    const char* Finished;
    const char* ReadMe;
};

class InstallDemo : public Install, public ::testing::WithParamInterface<TDemo> {};

TEST_P(InstallDemo, ClickedThroughEveryPageInstallsEverything) {
    const TDemo& demo = GetParam();
    const std::string project = *demo.Project;
    const std::vector<std::string> files = AddFilesOf(ReadText(project + "\\Setup.ini"));
    ASSERT_FALSE(files.empty());

    TSetupProcess setup(*demo.Setup, tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ASSERT_TRUE(wizard.Found());
    const auto start = std::chrono::steady_clock::now();
    ClickToTheCopy(wizard, demo.Welcome);
    ASSERT_TRUE(wizard.WaitForPage(demo.Finished, 60000)) << wizard.VisibleTexts().front();
    const double copySeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("install_e2e: from the welcome page to the completion page in %.2f s\n", copySeconds);

    // The three options are shown and ticked.
    std::vector<TControl> boxes;
    for (const TControl& c : Controls(form, true))
        if (c.Class == "Button") boxes.push_back(c);
    ASSERT_EQ(boxes.size(), 3u);
    for (const TControl& box : boxes) EXPECT_TRUE(Checked(box.Window)) << box.Text;
    wizard.Click(wizard.Forward());
    ASSERT_TRUE(setup.WaitForExit(30000));
    EXPECT_EQ(setup.ExitCode(), 0u);
    EXPECT_TRUE(WorkFolders().empty());

    // Every Addfile file with its contents.
    const std::string d = destination_;
    for (const std::string& file : files) {
        const std::string source = file == "Uninstall.exe" ? g_uninstaller : project + "\\" + file;
        EXPECT_EQ(ReadText(d + "\\" + file), ReadText(source)) << file;
    }

    // The shortcuts, read back.
    const std::string p = programFolder_;
    test::TLinkContent program = test::ReadLink(p + "\\" + kTitle + ".lnk");
    EXPECT_EQ(program.target, d + "\\DemoApp.exe");
    EXPECT_EQ(program.arguments, "");
    EXPECT_EQ(program.workingFolder, d);
    EXPECT_EQ(program.description, kTitle);
    test::TLinkContent uninstall = test::ReadLink(p + "\\Uninstall.lnk");
    EXPECT_EQ(LowerAscii(uninstall.target), LowerAscii(d + "\\uninstall.exe"));
    EXPECT_EQ(uninstall.workingFolder, d);
    EXPECT_EQ(uninstall.description, std::string("Uninstall ") + kTitle);
    test::TLinkContent readMe = test::ReadLink(p + "\\" + demo.ReadMe + ".lnk");
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(LowerAscii(readMe.target), LowerAscii(std::string(windows) + "\\notepad.exe"));
    EXPECT_EQ(readMe.arguments, "\"" + d + "\\" + demo.ReadMe + "\"");  // the folder holds a blank
    EXPECT_EQ(readMe.workingFolder, "");
    EXPECT_EQ(readMe.description, demo.ReadMe);
    test::TLinkContent desktop = test::ReadLink(desktopLink_);
    EXPECT_EQ(desktop.target, d + "\\DemoApp.exe");
    EXPECT_EQ(desktop.workingFolder, d);
    EXPECT_EQ(desktop.description, kTitle);

    // setup.log, byte for byte.
    std::string expected = std::string("SetupLOG\r\nNAME=") + kTitle + "\r\nKEY=" + kTitle + "\r\n";
    expected += "LINK=" + desktopLink_ + "\r\n";
    expected += "LINK=" + p + "\\" + demo.ReadMe + ".lnk\r\n";
    expected += "LINK=" + p + "\\Uninstall.lnk\r\n";
    expected += "LINK=" + p + "\\" + kTitle + ".lnk\r\n";
    expected += "DIRECTORY=" + p + "\r\n";
    // Each file in order, after the folder levels made for it (beyond the
    // standard sub-folders); the log lists them newest first.
    std::vector<std::string> made;
    std::vector<std::string> folders = {d + "\\Graphics", d + "\\Sounds", d + "\\Additional"};
    for (const std::string& file : files) {
        std::vector<std::string> levels;
        for (std::string folder = ExtractFilePath(d + "\\" + file); folder.size() > d.size() + 1;
             folder = ExtractFilePath(folder.substr(0, folder.size() - 1))) {
            const std::string level = folder.substr(0, folder.size() - 1);
            if (std::find(folders.begin(), folders.end(), level) != folders.end()) break;
            levels.insert(levels.begin(), level);
        }
        for (const std::string& level : levels) {
            folders.push_back(level);
            made.push_back("DIRECTORY=" + level);
        }
        made.push_back("COPYFILE=" + d + "\\" + file);
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) expected += *it + "\r\n";
    for (const char* sub : {"\\Additional", "\\Sounds", "\\Graphics", ""}) expected += "DIRECTORY=" + d + sub + "\r\n";
    EXPECT_EQ(ReadText(d + "\\setup.log"), expected);

    // The uninstall entry (each value is read back in the silent tests).
    std::map<std::string, test::TRegValue> entry =
        test::ListValues(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle);
    std::vector<std::string> names;
    for (const auto& value : entry) names.push_back(value.first);
    EXPECT_EQ(names, (std::vector<std::string>{"DisplayIcon", "DisplayName", "EstimatedSize", "InstallDate",
                                               "InstallLocation", "NoModify", "NoRepair", "QuietUninstallString",
                                               "UninstallString"}));
    EXPECT_EQ(entry["DisplayName"], test::SzValue(kTitle));
    EXPECT_EQ(entry["UninstallString"], test::SzValue("\"" + d + "\\Uninstall.exe\""));
    EXPECT_EQ(entry["InstallLocation"], test::SzValue(d));

    // The read-me viewer and the program were started, the program in its folder.
    EXPECT_TRUE(WaitFor([&] { return !WindowsTitled("Notepad", demo.ReadMe).empty(); }, 20000)) << "no Notepad";
    EXPECT_TRUE(WaitFor([&] { return fs::FileExists(record_); }, 20000)) << "the program did not run";
    EXPECT_EQ(ReadText(record_), d + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, InstallDemo,
    ::testing::Values(TDemo{&g_englishSetup, &g_englishProject, "Welcome to the Setup Wizard for SkinSetup Demo",
                            "Setup Complete", "ReadMe.txt"},
                      TDemo{&g_germanSetup, &g_germanProject,
                            "Willkommen zum Setup Assistenten f\xFCr SkinSetup Demo", "Setup fertig", "LiesMich.txt"}),
    [](const ::testing::TestParamInfo<TDemo>& info) { return info.index == 0 ? "English" : "German"; });

TEST_F(Install, WhatTheSetupInstalledItsUninstallerRemoves) {
    TSetupProcess setup(g_englishSetup, tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 30000));
    for (const TControl& c : Controls(form, true))
        if (c.Class == "Button" && Checked(c.Window) && c.Text != "Create Icon on Desktop.") wizard.Toggle(c.Window);
    wizard.Click(wizard.Forward());
    ASSERT_TRUE(setup.WaitForExit(30000));
    ASSERT_TRUE(fs::FileExists(desktopLink_));

    // The uninstall entry's command, as the list of installed programs runs it.
    EXPECT_EQ(RunUninstallEntry(kTitle), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(destination_ + "\\Uninstall.exe"); }, 10000));
    EXPECT_FALSE(fs::PathExists(destination_ + "\\DemoApp.exe"));
    EXPECT_FALSE(fs::PathExists(programFolder_));
    EXPECT_FALSE(fs::PathExists(desktopLink_));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle));
}

// The demo's Setup.ini with one more Addfile entry, whose file the payload lacks.
std::string WithMissingFile(std::string ini) {
    const std::string anchor = "Addfile=DemoApp.exe\r\n";
    return ini.insert(ini.find(anchor) + anchor.size(), "Addfile=Missing.dat\r\n");
}

TEST_F(Install, MissingFileAsksAndRetryAfterItAppearsGoesOn) {
    TSetupProcess setup(SetupFrom(g_englishProject, WithMissingFile), tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    HWND box = setup.WaitForWindow("#32770");
    ASSERT_NE(box, nullptr) << "no question";
    const std::string text = MessageBoxText(box);
    EXPECT_EQ(text.rfind("The file " + destination_ + "\\Missing.dat could not be copied:\n", 0), 0u) << text;
    // A close request meanwhile is refused: the run is not cut short.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(form, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_TRUE(IsWindowVisible(form));
    ASSERT_EQ(WorkFolders().size(), 1u);
    WriteText(tmp_ + WorkFolders()[0] + "\\Missing.dat", "late");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDRETRY, BN_CLICKED), 0);
    ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 30000));
    EXPECT_EQ(ReadText(destination_ + "\\Missing.dat"), "late");
    for (const TControl& c : Controls(form, true))
        if (c.Class == "Button" && Checked(c.Window)) wizard.Toggle(c.Window);  // no Notepad, no program
    wizard.Click(wizard.Forward());
    ASSERT_TRUE(setup.WaitForExit(30000));
    EXPECT_EQ(setup.ExitCode(), 0u);
    EXPECT_NE(ReadText(destination_ + "\\setup.log").find("COPYFILE=" + destination_ + "\\Missing.dat\r\n"),
              std::string::npos);
    EXPECT_FALSE(fs::PathExists(desktopLink_));
    EXPECT_FALSE(fs::PathExists(record_));
}

TEST_F(Install, CancelLeavesNothingOfTheRunButWhatWasThere) {
    ASSERT_TRUE(fs::ForceDirectories(destination_));
    WriteText(destination_ + "\\ReadMe.txt", "the user's own");
    WriteText(destination_ + "\\Notes.txt", "kept");
    TSetupProcess setup(SetupFrom(g_englishProject, WithMissingFile), tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    HWND question = setup.WaitForWindow("#32770");
    ASSERT_NE(question, nullptr);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    HWND error = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND box : setup.Windows("#32770"))
            if (box != question) error = box;
        return error != nullptr;
    }));
    EXPECT_EQ(MessageBoxText(error), "Setup was cancelled. What it had installed so far has been removed.");
    PressOk(error);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 1u);  // failed and rolled back
    EXPECT_TRUE(WorkFolders().empty());

    // Only what was there before the run: the copied-over read-me stays.
    std::vector<std::string> left;
    for (const fs::DirEntry& e : fs::ListDirectory(destination_)) left.push_back(e.name);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Notes.txt", "ReadMe.txt"}));
    EXPECT_EQ(ReadText(destination_ + "\\ReadMe.txt"), "the user's own");  // back byte for byte
    EXPECT_FALSE(fs::PathExists(programFolder_));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle));
}

TEST_F(Install, ProgramFolderThatCannotBeMadeRollsBack) {
    WriteText(programFolder_, "a file where the program folder would go");
    TSetupProcess setup(SetupFrom(g_englishProject, [](std::string ini) { return ini; }), tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    HWND error = setup.WaitForWindow("#32770");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(MessageBoxText(error), "E/A-Fehler 183");
    PressOk(error);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 1u);  // failed and rolled back
    EXPECT_FALSE(fs::PathExists(destination_));
    EXPECT_TRUE(fs::FileExists(programFolder_));
    EXPECT_TRUE(WorkFolders().empty());
}

// A close request on the completion page (Alt+F4, the taskbar) still leaves
// an installation with its log and entry, which the uninstaller removes; the
// optional actions are not carried out.
TEST_F(Install, ClosedOnTheCompletionPageLeavesWhatTheUninstallerRemoves) {
    TSetupProcess setup(g_englishSetup, tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 30000));
    PostMessageA(form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit(30000));
    EXPECT_EQ(setup.ExitCode(), 0u);
    EXPECT_TRUE(fs::FileExists(destination_ + "\\setup.log"));
    EXPECT_TRUE(test::KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle));
    EXPECT_FALSE(fs::PathExists(desktopLink_));
    EXPECT_FALSE(fs::PathExists(record_));

    EXPECT_EQ(RunUninstallEntry(kTitle), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(destination_); }, 10000));
    EXPECT_FALSE(fs::PathExists(programFolder_));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + kTitle));
}

// "Company\App" where Company does not exist: both levels are made and
// recorded, and the uninstaller removes both.
TEST_F(Install, ProgramFolderTwoLevelsDeepInstallsAndUninstalls) {
    const std::string company = GetProgramsFolder(nullptr) + "\\SkinSetup Test Company";
    DeleteFolderTree(company);
    const std::string exe = SetupFrom(g_englishProject, [](std::string ini) {
        const std::string line = "Folder=SkinSetup Demo";
        return ini.replace(ini.find(line), line.size(), "Folder=SkinSetup Test Company\\SkinSetup Demo");
    });
    TSetupProcess setup(exe, tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 30000)) << wizard.VisibleTexts().front();
    for (const TControl& c : Controls(form, true))
        if (c.Class == "Button" && Checked(c.Window)) wizard.Toggle(c.Window);
    wizard.Click(wizard.Forward());
    ASSERT_TRUE(setup.WaitForExit(30000));
    EXPECT_EQ(setup.ExitCode(), 0u);
    const std::string app = company + "\\SkinSetup Demo";
    EXPECT_TRUE(fs::FileExists(app + "\\Uninstall.lnk"));
    const std::string log = ReadText(destination_ + "\\setup.log");
    EXPECT_NE(log.find("DIRECTORY=" + app + "\r\nDIRECTORY=" + company + "\r\n"), std::string::npos) << log;

    EXPECT_EQ(RunUninstallEntry(kTitle), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(destination_); }, 10000));
    EXPECT_FALSE(fs::PathExists(company));
    DeleteFolderTree(company);
}

// The second press of a double-click is not a click: Forward moves one page.
TEST_F(Install, DoubleClickOnForwardMovesOnePage) {
    TSetupProcess setup(SetupFrom(g_englishProject, [](std::string ini) {
                            const std::string line = "Licence=Licence.txt\r\n";
                            return ini.erase(ini.find(line), line.size());
                        }),
                        tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ASSERT_TRUE(wizard.WaitForPage("Welcome to the Setup Wizard for SkinSetup Demo"));
    ASSERT_TRUE(Next(wizard));  // the destination page
    ASSERT_NE(FindVisible(form, "Button", "Browse..."), nullptr) << wizard.VisibleTexts().front();
    wizard.DoubleClick(wizard.Forward());
    EXPECT_NE(FindVisible(form, "ListBox"), nullptr) << "not on the program-folder page";
    EXPECT_FALSE(fs::PathExists(destination_)) << "the copy started";
    wizard.DoubleClick(wizard.Back());
    EXPECT_NE(FindVisible(form, "Button", "Browse..."), nullptr) << wizard.VisibleTexts().front();
    PostMessageA(form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit(30000));
}

TEST_F(Install, ManyFilesMoveTheProgressBarWhileTheWindowAnswers) {
    constexpr int kFiles = 150;
    auto addMany = [](const std::string& project) {
        std::mt19937 random(7);
        std::string data(64 * 1024, '\0');
        for (int i = 0; i < kFiles; ++i) {
            for (char& c : data) c = static_cast<char>(random());
            WriteText(project + "\\Additional\\many\\f" + std::to_string(i) + ".bin", data);
        }
    };
    auto listMany = [](std::string ini) {
        std::string lines;
        for (int i = 0; i < kFiles; ++i) lines += "Addfile=Additional\\many\\f" + std::to_string(i) + ".bin\r\n";
        const std::string anchor = "Addfile=DemoApp.exe\r\n";
        return ini.insert(ini.find(anchor) + anchor.size(), lines);
    };
    TSetupProcess setup(SetupFrom(g_englishProject, listMany, addMany), tmp_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    HWND progress = nullptr;
    for (const TControl& c : Controls(form, false))
        if (c.Class == "msctls_progress32") progress = c.Window;
    ASSERT_NE(progress, nullptr);
    ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");

    // Each answer comes while the copy goes on: the setup handles messages.
    std::vector<int> seen;
    WaitFor(
        [&] {
            int position = static_cast<int>(SendMessageA(progress, PBM_GETPOS, 0, 0));
            if (seen.empty() || seen.back() != position) seen.push_back(position);
            return position == 100;
        },
        60000);
    ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 30000));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_GE(seen.size(), 3u) << "the bar did not move during the copy";
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    PostMessageA(form, WM_CLOSE, 0, 0);
    setup.WaitForExit();
}

// Installs with every option unticked and prints where the time goes.
void TimedInstall(const std::string& exe, const std::string& tmp) {
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); };
    std::printf("setup of %.1f MiB\n", fs::File::OpenRead(exe).Size() / 1048576.0);
    auto start = Clock::now();
    TSetupProcess setup(exe, tmp);
    HWND form = setup.WaitForWindow("TSetupForm", 120000);
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ASSERT_TRUE(wizard.WaitForPage("Welcome to the Setup Wizard for SkinSetup Demo", 60000));
    std::printf("start-up (payload unpacked, window shown): %.2f s\n", seconds(start));
    HWND progress = nullptr;
    for (const TControl& c : Controls(form, false))
        if (c.Class == "msctls_progress32") progress = c.Window;
    ASSERT_NE(progress, nullptr);
    Install::ClickToTheCopy(wizard, "Welcome to the Setup Wizard for SkinSetup Demo");
    start = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(progress, PBM_GETPOS, 0, 0) == 100; }, 120000));
    std::printf("files copied: %.2f s\n", seconds(start));
    ASSERT_TRUE(wizard.WaitForPage("Setup Complete", 120000));
    std::printf("installation run (copy, program folder, shortcuts): %.2f s\n", seconds(start));
    for (const TControl& c : Controls(form, true))
        if (c.Class == "Button" && Checked(c.Window)) wizard.Toggle(c.Window);
    start = Clock::now();
    wizard.Click(wizard.Forward());
    ASSERT_TRUE(setup.WaitForExit(120000));
    std::printf("finishing actions and removal of the work folder: %.2f s\n", seconds(start));
    EXPECT_EQ(setup.ExitCode(), 0u);
}

// Timings, run by hand with --gtest_also_run_disabled_tests: the demo, and a
// payload of 100 MiB.
TEST_F(Install, DISABLED_DemoTimed) { TimedInstall(g_englishSetup, tmp_); }

TEST_F(Install, DISABLED_LargePayloadTimed) {
    constexpr int kFiles = 25, kSize = 4 << 20;
    auto addLarge = [](const std::string& project) {
        std::mt19937 random(11);
        std::string data(kSize, '\0');
        for (int i = 0; i < kFiles; ++i) {
            for (char& c : data) c = static_cast<char>(random());
            WriteText(project + "\\large" + std::to_string(i) + ".bin", data);
        }
    };
    auto listLarge = [](std::string ini) {
        std::string lines;
        for (int i = 0; i < kFiles; ++i) lines += "Addfile=large" + std::to_string(i) + ".bin\r\n";
        const std::string anchor = "Addfile=DemoApp.exe\r\n";
        return ini.insert(ini.find(anchor) + anchor.size(), lines);
    };
    TimedInstall(SetupFrom(g_englishProject, listLarge, addLarge), tmp_);
    for (int i = 0; i < kFiles; ++i)
        EXPECT_EQ(fs::File::OpenRead(destination_ + "\\large" + std::to_string(i) + ".bin").Size(), kSize);
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 7) {
        fprintf(stderr,
                "usage: install_e2e_tests SETUP-EN SETUP-DE PROJECT-EN PROJECT-DE STUB UNINSTALLER [gtest options]\n");
        return 2;
    }
    using namespace zub::e2e;
    g_englishSetup = WindowsPathOf(argv[1]);
    g_germanSetup = WindowsPathOf(argv[2]);
    g_englishProject = WindowsPathOf(argv[3]);
    g_germanProject = WindowsPathOf(argv[4]);
    g_stub = WindowsPathOf(argv[5]);
    g_uninstaller = WindowsPathOf(argv[6]);
    CoInitialize(nullptr);  // the shortcuts are read back through the shell
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
