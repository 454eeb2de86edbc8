// End-to-end: real setups made from the demo projects are clicked through
// every page and install; afterwards every file, shortcut, setup.log line and
// registry value is read back. Then the failures: a missing file asks Retry
// or Cancel, Cancel and a program folder that cannot be made leave nothing of
// the run behind, and a long run moves the progress bar.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/strings.h"
#include "base/win32_error.h"
#include "setup/install_run.h"
#include "shell/shell_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_setup_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

const char kTitle[] = "SkinSetup Demo";
const char kWelcome[] = "Welcome to the Setup Wizard for SkinSetup Demo";

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

// The demo's Setup.ini with more Addfile lines after the program's.
TIniEdit WithFiles(const std::string& lines) {
    return [lines](std::string ini) { return InsertAfter(ini, "Addfile=DemoApp.exe\r\n", lines); };
}

class Install : public ::testing::Test {
protected:
    // Programs the setup started go first, so that a failing removal cannot
    // leave them running (and ctest waiting for them).
    void TearDown() override { EXPECT_TRUE(CloseTopWindows("Notepad")); }

    // A copy of the staged English demo project with its Setup.ini changed by
    // `edit`, made into a setup.
    std::string SetupFrom(const TIniEdit& edit, const std::function<void(const std::string&)>& addFiles = nullptr) {
        return MakeProjectSetup(Argument("project-en"), Argument("uninstaller"), Argument("stub"), folder_.Path(),
                                folder_ / "TestSetup.exe", edit, addFiles);
    }

    // Clicks the started setup through to the completion page: the installation ran.
    std::unique_ptr<TWizard> InstallToTheCompletionPage(TSetupProcess& setup) {
        auto wizard = StartWizard(setup, kWelcome);
        if (!wizard) return nullptr;
        const ::testing::AssertionResult copying = wizard->ClickToTheCopy();
        EXPECT_TRUE(copying);
        if (!copying || !wizard->WaitForPage("Setup Complete", 30000)) return nullptr;
        return wizard;
    }

    TTestFolder folder_;
    TFreshInstallation installation_{kTitle};
    TLaunchRecord record_{folder_ / "launched.txt"};
};

struct TDemo {
    const char* Setup;
    const char* Project;
    const char* Welcome;
    const char* Finished;
    const char* ReadMe;
};

class InstallDemo : public Install, public ::testing::WithParamInterface<TDemo> {};

TEST_P(InstallDemo, ClickedThroughEveryPageInstallsEverything) {
    const TDemo& demo = GetParam();
    const std::string project = Argument(demo.Project);
    const std::vector<std::string> files = AddFilesOf(ReadText(project + "\\" + kSetupScriptName));
    ASSERT_FALSE(files.empty());

    TSetupProcess setup(Argument(demo.Setup), folder_.Temp());
    auto wizard = StartWizard(setup, demo.Welcome);
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(wizard->ClickToTheCopy());
    ASSERT_TRUE(wizard->WaitForPage(demo.Finished, 60000)) << wizard->Heading();

    // The three options are shown and ticked.
    const std::vector<TControl> options = wizard->Options();
    ASSERT_EQ(options.size(), 3u);
    for (const TControl& box : options) EXPECT_TRUE(Checked(box.Window)) << box.Text;
    wizard->Click(wizard->Forward());
    EXPECT_TRUE(setup.Ends(0, 30000));
    EXPECT_TRUE(folder_.WorkFolders().empty());

    // Every Addfile file with its contents.
    const std::string d = installation_.Destination;
    for (const std::string& file : files) {
        const std::string source = file == kUninstallerName ? Argument("uninstaller") : project + "\\" + file;
        EXPECT_EQ(ReadText(d + "\\" + file), ReadText(source)) << file;
    }

    // The shortcuts, read back.
    const std::string p = installation_.ProgramFolder;
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
    test::TLinkContent desktop = test::ReadLink(installation_.DesktopLink);
    EXPECT_EQ(desktop.target, d + "\\DemoApp.exe");
    EXPECT_EQ(desktop.workingFolder, d);
    EXPECT_EQ(desktop.description, kTitle);

    // setup.log, byte for byte.
    std::string expected = std::string("SetupLOG\r\nNAME=") + kTitle + "\r\nKEY=" + kTitle + "\r\n";
    expected += "LINK=" + installation_.DesktopLink + "\r\n";
    expected += "LINK=" + p + "\\" + demo.ReadMe + ".lnk\r\n";
    expected += "LINK=" + p + "\\Uninstall.lnk\r\n";
    expected += "LINK=" + p + "\\" + kTitle + ".lnk\r\n";
    expected += "DIRECTORY=" + p + "\r\n";
    // Each file in order, after the folder levels made for it (beyond the
    // standard sub-folders); the log lists them newest first.
    std::vector<std::string> made;
    std::vector<std::string> folders;
    for (const char* sub : kPayloadFolders) folders.push_back(d + "\\" + sub);
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
    EXPECT_EQ(installation_.Log(), expected);

    // The uninstall entry (each value is read back in the silent tests).
    std::map<std::string, test::TRegValue> entry = installation_.Entry();
    std::vector<std::string> names;
    for (const auto& value : entry) names.push_back(value.first);
    EXPECT_EQ(names, (std::vector<std::string>{"DisplayIcon", "DisplayName", "EstimatedSize", "InstallDate",
                                               "InstallLocation", "NoModify", "NoRepair", "QuietUninstallString",
                                               "UninstallString"}));
    EXPECT_EQ(entry["DisplayName"], test::SzValue(kTitle));
    EXPECT_EQ(entry["UninstallString"], test::SzValue("\"" + d + "\\Uninstall.exe\""));
    EXPECT_EQ(entry["InstallLocation"], test::SzValue(d));

    // The read-me viewer and the program were started, the program in its folder.
    EXPECT_TRUE(WaitFor([&] { return !TopWindows("Notepad", demo.ReadMe).empty(); }, 20000)) << "no Notepad";
    EXPECT_TRUE(WaitFor([&] { return record_.Exists(); }, 20000)) << "the program did not run";
    EXPECT_EQ(ReadText(record_.Path()), d + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, InstallDemo,
    ::testing::Values(TDemo{"setup-en", "project-en", kWelcome, "Setup Complete", "ReadMe.txt"},
                      TDemo{"setup-de", "project-de", "Willkommen zum Setup Assistenten f\xFCr SkinSetup Demo",
                            "Setup fertig", "LiesMich.txt"}),
    [](const ::testing::TestParamInfo<TDemo>& info) { return info.index == 0 ? "English" : "German"; });

TEST_F(Install, WhatTheSetupInstalledItsUninstallerRemoves) {
    TSetupProcess setup(Argument("setup-en"), folder_.Temp());
    auto wizard = InstallToTheCompletionPage(setup);
    ASSERT_TRUE(wizard);
    wizard->UntickOptions("Create Icon on Desktop.");
    wizard->Click(wizard->Forward());
    EXPECT_TRUE(setup.Ends(0, 30000));
    ASSERT_TRUE(fs::FileExists(installation_.DesktopLink));

    // The uninstall entry's command, as the list of installed programs runs it.
    EXPECT_EQ(installation_.RunEntry(), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(installation_.In(kUninstallerName)); }, 10000));
    EXPECT_FALSE(fs::PathExists(installation_.In("DemoApp.exe")));
    EXPECT_FALSE(fs::PathExists(installation_.ProgramFolder));
    EXPECT_FALSE(fs::PathExists(installation_.DesktopLink));
    EXPECT_FALSE(installation_.EntryExists());
}

TEST_F(Install, MissingFileAsksAndRetryAfterItAppearsGoesOn) {
    TSetupProcess setup(SetupFrom(WithFiles("Addfile=Missing.dat\r\n")), folder_.Temp());
    auto wizard = StartWizard(setup, kWelcome);
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(wizard->ClickToTheCopy());
    HWND box = setup.WaitForBox();
    ASSERT_NE(box, nullptr) << "no question";
    EXPECT_EQ(MessageBoxText(box),
              CopyFailedQuestion("English", installation_.In("Missing.dat"), SystemMessage(ERROR_FILE_NOT_FOUND)));
    // A close request meanwhile is refused: the run is not cut short.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(wizard->Form(), WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_TRUE(IsWindowVisible(wizard->Form()));
    ASSERT_EQ(folder_.WorkFolders().size(), 1u);
    WriteText(folder_.Temp() + folder_.WorkFolders()[0] + "\\Missing.dat", "late");
    Answer(box, IDRETRY);
    ASSERT_TRUE(wizard->WaitForPage("Setup Complete", 30000));
    EXPECT_EQ(ReadText(installation_.In("Missing.dat")), "late");
    wizard->UntickOptions();  // no Notepad, no program
    wizard->Click(wizard->Forward());
    EXPECT_TRUE(setup.Ends(0, 30000));
    EXPECT_NE(installation_.Log().find("COPYFILE=" + installation_.In("Missing.dat") + "\r\n"), std::string::npos);
    EXPECT_FALSE(fs::PathExists(installation_.DesktopLink));
    EXPECT_FALSE(record_.Exists());
}

TEST_F(Install, CancelLeavesNothingOfTheRunButWhatWasThere) {
    WriteText(installation_.In("ReadMe.txt"), "the user's own");
    WriteText(installation_.In("Notes.txt"), "kept");
    TSetupProcess setup(SetupFrom(WithFiles("Addfile=Missing.dat\r\n")), folder_.Temp());
    auto wizard = StartWizard(setup, kWelcome);
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(wizard->ClickToTheCopy());
    HWND question = setup.WaitForBox();
    ASSERT_NE(question, nullptr);
    Answer(question, IDCANCEL);
    HWND error = setup.WaitForBox("", question);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(MessageBoxText(error), "Setup was cancelled. What it had installed so far has been removed.");
    PressOk(error);
    EXPECT_TRUE(setup.Ends(1));  // failed and rolled back
    EXPECT_TRUE(folder_.WorkFolders().empty());

    // Only what was there before the run: the copied-over read-me stays.
    EXPECT_EQ(NamesIn(installation_.Destination), (std::vector<std::string>{"Notes.txt", "ReadMe.txt"}));
    EXPECT_EQ(ReadText(installation_.In("ReadMe.txt")), "the user's own");  // back byte for byte
    EXPECT_FALSE(fs::PathExists(installation_.ProgramFolder));
    EXPECT_FALSE(installation_.EntryExists());
}

TEST_F(Install, ProgramFolderThatCannotBeMadeRollsBack) {
    WriteText(installation_.ProgramFolder, "a file where the program folder would go");
    TSetupProcess setup(SetupFrom(Unchanged), folder_.Temp());
    auto wizard = StartWizard(setup, kWelcome);
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(wizard->ClickToTheCopy());
    HWND error = setup.WaitForBox();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(MessageBoxText(error), "E/A-Fehler 183");
    PressOk(error);
    EXPECT_TRUE(setup.Ends(1));  // failed and rolled back
    EXPECT_FALSE(fs::PathExists(installation_.Destination));
    EXPECT_TRUE(fs::FileExists(installation_.ProgramFolder));
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

// A close request on the completion page (Alt+F4, the taskbar) still leaves
// an installation with its log and entry, which the uninstaller removes; the
// optional actions are not carried out.
TEST_F(Install, ClosedOnTheCompletionPageLeavesWhatTheUninstallerRemoves) {
    TSetupProcess setup(Argument("setup-en"), folder_.Temp());
    auto wizard = InstallToTheCompletionPage(setup);
    ASSERT_TRUE(wizard);
    Close(wizard->Form());
    EXPECT_TRUE(setup.Ends(0, 30000));
    EXPECT_TRUE(fs::FileExists(installation_.In(kSetupLogName)));
    EXPECT_TRUE(installation_.EntryExists());
    EXPECT_FALSE(fs::PathExists(installation_.DesktopLink));
    EXPECT_FALSE(record_.Exists());

    EXPECT_EQ(installation_.RunEntry(), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(installation_.Destination); }, 10000));
    EXPECT_FALSE(fs::PathExists(installation_.ProgramFolder));
    EXPECT_FALSE(installation_.EntryExists());
}

// "Company\App" where Company does not exist: both levels are made and
// recorded, and the uninstaller removes both.
TEST_F(Install, ProgramFolderTwoLevelsDeepInstallsAndUninstalls) {
    const std::string company = GetProgramsFolder(nullptr) + "\\SkinSetup Test Company";
    DeleteFolderTree(company);
    const std::string exe = SetupFrom([](std::string ini) {
        return Replace(ini, "Folder=SkinSetup Demo", "Folder=SkinSetup Test Company\\SkinSetup Demo");
    });
    TSetupProcess setup(exe, folder_.Temp());
    auto wizard = InstallToTheCompletionPage(setup);
    ASSERT_TRUE(wizard);
    wizard->UntickOptions();
    wizard->Click(wizard->Forward());
    EXPECT_TRUE(setup.Ends(0, 30000));
    const std::string app = company + "\\SkinSetup Demo";
    EXPECT_TRUE(fs::FileExists(app + "\\Uninstall.lnk"));
    const std::string log = installation_.Log();
    EXPECT_NE(log.find("DIRECTORY=" + app + "\r\nDIRECTORY=" + company + "\r\n"), std::string::npos) << log;

    EXPECT_EQ(installation_.RunEntry(), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(installation_.Destination); }, 10000));
    EXPECT_FALSE(fs::PathExists(company));
    DeleteFolderTree(company);
}

// The second press of a double-click is not a click: Forward moves one page.
TEST_F(Install, DoubleClickOnForwardMovesOnePage) {
    TSetupProcess setup(SetupFrom([](std::string ini) { return Replace(ini, "Licence=Licence.txt\r\n", ""); }),
                        folder_.Temp());
    auto wizard = StartWizard(setup, kWelcome);
    ASSERT_TRUE(wizard);
    const HWND form = wizard->Form();
    ASSERT_TRUE(wizard->Next());  // the destination page
    ASSERT_NE(FindVisible(form, "Button", "Browse..."), nullptr) << wizard->Heading();
    wizard->DoubleClick(wizard->Forward());
    EXPECT_NE(FindVisible(form, "ListBox"), nullptr) << "not on the program-folder page";
    EXPECT_FALSE(fs::PathExists(installation_.Destination)) << "the copy started";
    wizard->DoubleClick(wizard->Back());
    EXPECT_NE(FindVisible(form, "Button", "Browse..."), nullptr) << wizard->Heading();
    Close(form);
    EXPECT_TRUE(setup.Ends(2, 30000));  // closed: cancelled by the user
}

TEST_F(Install, ManyFilesMoveTheProgressBarWhileTheWindowAnswers) {
    constexpr int kFiles = 150;
    std::string lines;
    for (int i = 0; i < kFiles; ++i) lines += "Addfile=Additional\\many\\f" + std::to_string(i) + ".bin\r\n";
    auto addMany = [](const std::string& project) {
        std::mt19937 random(7);
        std::string data(64 * 1024, '\0');
        for (int i = 0; i < kFiles; ++i) {
            for (char& c : data) c = static_cast<char>(random());
            WriteText(project + "\\Additional\\many\\f" + std::to_string(i) + ".bin", data);
        }
    };
    TSetupProcess setup(SetupFrom(WithFiles(lines), addMany), folder_.Temp());
    auto wizard = StartWizard(setup, kWelcome);
    ASSERT_TRUE(wizard);
    HWND progress = wizard->ProgressBar();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(wizard->ClickToTheCopy());

    // Each answer comes while the copy goes on: the setup handles messages.
    std::vector<int> seen;
    WaitFor(
        [&] {
            int position = static_cast<int>(SendMessageA(progress, PBM_GETPOS, 0, 0));
            if (seen.empty() || seen.back() != position) seen.push_back(position);
            return position == 100;
        },
        60000);
    ASSERT_TRUE(wizard->WaitForPage("Setup Complete", 30000));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_GE(seen.size(), 3u) << "the bar did not move during the copy";
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    Close(wizard->Form());
    EXPECT_TRUE(setup.Ends(0, 30000));
}

}  // namespace
}  // namespace zub::e2e
