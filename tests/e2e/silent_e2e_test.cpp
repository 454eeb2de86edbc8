// End-to-end: setups made from the demo project run from the command line.
// Silent runs install, fail and upgrade without a window ever being shown
// (watched the whole time), the trace names what happened, the uninstall
// entry carries its values, and its quiet uninstall command removes it all;
// the wizard ends with the exit code of each outcome and shows the usage box.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/strings.h"
#include "setup/command_line.h"
#include "shell/shell_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_setup_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

const char kTitle[] = "SkinSetup Demo";

// The lines of a trace (or log) text, without their line breaks.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// Whether `lines` holds `line`.
bool Holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class Silent : public ::testing::Test {
protected:
    // The demo project with its Setup.ini changed by `edit` and `extra`
    // files added, made into a setup of its own name.
    std::string SetupFrom(const std::string& name, const TIniEdit& edit,
                          const std::map<std::string, std::string>& extra = {}) {
        return MakeProjectSetup(Argument("project"), Argument("uninstaller"), Argument("stub"), folder_ / name,
                                folder_ / (name + ".exe"), edit, [&](const std::string& copy) {
                                    for (const auto& [file, text] : extra) WriteText(copy + "\\" + file, text);
                                });
    }

    // Runs a setup with `arguments`, watching for windows; its exit code.
    DWORD RunUnseen(const std::string& exe, const std::string& arguments) {
        TSetupProcess setup(exe, folder_.Temp(), arguments);
        EXPECT_TRUE(setup.Started());
        std::set<std::string> seen;
        EXPECT_TRUE(setup.WatchUntilExit(seen)) << "still running: " << arguments;
        EXPECT_TRUE(seen.empty()) << "a window was shown: " << *seen.begin();
        EXPECT_TRUE(folder_.WorkFolders().empty());
        return setup.ExitCode();
    }
    std::vector<std::string> Trace() const { return LinesOf(TextOf(trace_)); }

    TTestFolder folder_;
    TFreshInstallation installation_{kTitle};
    TLaunchRecord record_{folder_ / "launched.txt"};
    const std::string trace_ = folder_ / "trace.txt";
    const std::string dest_ = folder_ / "Some Folder\\Demo App";  // the destination given with /D=
};

std::string WithVersionAndMaker(std::string ini) {
    return InsertAfter(ini, "Language=English\r\n",
                       "Version=1.2.3\r\nPublisher=Demo Maker\r\nWebsite=https://example.org/demo\r\n");
}

TEST_F(Silent, InstallsEverythingUnseenAndItsQuietUninstallRemovesIt) {
    const std::string exe = SetupFrom("full", WithVersionAndMaker);
    EXPECT_EQ(RunUnseen(exe, "/S /LOG=" + trace_ + " /D=" + dest_), 0u);

    const std::string d = dest_;
    const std::string& programFolder = installation_.ProgramFolder;
    const std::string& desktopLink = installation_.DesktopLink;
    const char* const files[] = {"DemoApp.exe", "ReadMe.txt", "Licence.txt", "Additional\\docs\\Manual.txt", kUninstallerName};
    for (const char* file : files) EXPECT_TRUE(fs::FileExists(d + "\\" + file)) << file;
    EXPECT_EQ(test::ReadLink(programFolder + "\\" + kTitle + ".lnk").target, d + "\\DemoApp.exe");
    EXPECT_TRUE(fs::FileExists(programFolder + "\\Uninstall.lnk"));
    EXPECT_EQ(test::ReadLink(desktopLink).target, d + "\\DemoApp.exe");  // DesktopIcon=1 offers it ticked
    EXPECT_TRUE(Holds(LinesOf(TextOf(d + "\\" + kSetupLogName)), "LINK=" + desktopLink));
    // Neither the read-me nor the program was started.
    EXPECT_FALSE(record_.Exists());

    uint64_t bytes = 0;
    for (const char* file : files) bytes += static_cast<uint64_t>(fs::File::OpenRead(d + "\\" + file).Size());
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::string quoted = "\"" + d + "\\Uninstall.exe\"";
    EXPECT_EQ(installation_.Entry(),
              (std::map<std::string, test::TRegValue>{
                  {"DisplayName", test::SzValue(kTitle)},
                  {"UninstallString", test::SzValue(quoted)},
                  {"QuietUninstallString", test::SzValue(quoted + " /S")},
                  {"DisplayVersion", test::SzValue("1.2.3")},
                  {"Publisher", test::SzValue("Demo Maker")},
                  {"URLInfoAbout", test::SzValue("https://example.org/demo")},
                  {"DisplayIcon", test::SzValue(d + "\\DemoApp.exe,0")},
                  {"InstallLocation", test::SzValue(d)},
                  {"EstimatedSize", test::DwordValue(static_cast<DWORD>((bytes + 1023) / 1024))},
                  {"InstallDate", test::SzValue(Format("%04u%02u%02u", now.wYear, now.wMonth, now.wDay))},
                  {"NoModify", test::DwordValue(1)},
                  {"NoRepair", test::DwordValue(1)},
              }));

    // The trace tells an administrator what happened, line by line.
    const std::vector<std::string> trace = Trace();
    ASSERT_FALSE(trace.empty());
    for (const std::string& line :
         {"unpacked: the payload into " + folder_.Temp() + "ZCTemp1\\", "copied: " + d + "\\DemoApp.exe", "created folder: " + programFolder,
          "created shortcut: " + desktopLink + " -> " + d + "\\DemoApp.exe",
          "registered: HKEY_LOCAL_MACHINE\\" + installation_.Key, "wrote: " + d + "\\setup.log"})
        EXPECT_TRUE(Holds(trace, line)) << line << "\n" << TextOf(trace_);
    EXPECT_EQ(trace.back(), "exit code 0");

    EXPECT_EQ(installation_.RunEntry("QuietUninstallString", ""), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(d); }, 20000)) << "the destination stayed";
    EXPECT_FALSE(fs::PathExists(programFolder));
    EXPECT_FALSE(fs::PathExists(desktopLink));
    EXPECT_FALSE(installation_.EntryExists());
}

TEST_F(Silent, FailuresShowNothingEndWithTheirCodesAndLeaveNothing) {
    const std::string missing = SetupFrom("missing", [](std::string ini) {
        return InsertAfter(ini, "Addfile=DemoApp.exe\r\n", "Addfile=Missing.dat\r\n");
    });
    EXPECT_EQ(RunUnseen(missing, "/S /LOG=" + trace_ + " /D=" + dest_), 1u);
    EXPECT_FALSE(fs::PathExists(folder_ / "Some Folder"));
    EXPECT_FALSE(fs::PathExists(installation_.ProgramFolder));
    EXPECT_FALSE(installation_.EntryExists());
    std::vector<std::string> trace = Trace();
    const std::string copyError =
        "error: " + folder_.Temp() + "ZCTemp1\\Missing.dat could not be copied to " + dest_ + "\\Missing.dat: ";
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const std::string& l) { return StartsWith(l, copyError); }))
        << TextOf(trace_);
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const std::string& l) {
        return StartsWith(l, "answered Cancel: The file " + dest_ + "\\Missing.dat could not be copied");
    })) << TextOf(trace_);
    EXPECT_TRUE(Holds(trace, "removed: " + dest_ + "\\DemoApp.exe"));
    EXPECT_EQ(trace.empty() ? "" : trace.back(), "exit code 1");

    // A bad command line: nothing starts, not even the work folder.
    const std::string good = SetupFrom("good", Unchanged);
    EXPECT_EQ(RunUnseen(good, "/S /LOG=" + trace_ + " /D=relative\\App"), 4u);
    EXPECT_TRUE(Holds(Trace(), "error: /D=relative\\App is not a full path with a drive or a network share.")) << TextOf(trace_);
    EXPECT_EQ(RunUnseen(good, "/S /unknown"), 4u);
    EXPECT_EQ(RunUnseen(good, "/S /?"), 4u);
    EXPECT_FALSE(fs::PathExists(installation_.Destination));

    // A temporary folder set relative, which the system would make full in
    // the current folder: the setup makes nothing there and cannot start.
    const std::string current = folder_ / "current";
    ASSERT_TRUE(fs::ForceDirectories(current + "\\relative"));
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
    {
        TSetupProcess setup(good, "relative", "/S /LOG=" + trace_);
        SetCurrentDirectoryA(before);
        EXPECT_TRUE(setup.Ends(3, 60000));
    }
    EXPECT_TRUE(fs::ListDirectory(current + "\\relative").empty());
    EXPECT_TRUE(Holds(Trace(), "error: The temporary folder relative is not a full path")) << TextOf(trace_);

    // A setup that cannot start: a malformed number in Setup.ini.
    const std::string broken =
        SetupFrom("broken", [](std::string ini) { return Replace(ini, "Fontheight=-11", "Fontheight=eleven"); });
    EXPECT_EQ(RunUnseen(broken, "/S /LOG=" + trace_), 3u);
    EXPECT_TRUE(Holds(Trace(), "error: 'eleven' ist kein g\xfcltiger Integerwert")) << TextOf(trace_);
    EXPECT_FALSE(fs::PathExists(installation_.Destination));
    EXPECT_FALSE(installation_.EntryExists());
}

TEST_F(Silent, SecondVersionOverTheFirstLeavesOneEntryAndAnUninstallOfBoth) {
    const std::string first = SetupFrom(
        "v1", [](std::string ini) { return InsertAfter(ini, "Addfile=DemoApp.exe\r\n", "Addfile=Old.dll\r\n"); },
        {{"Old.dll", "first version only"}});
    EXPECT_EQ(RunUnseen(first, "/S /D=" + dest_), 0u);
    // The user's own file in the folder is no part of either version.
    WriteText(dest_ + "\\Notes.txt", "mine");

    // The second version, without /D=: it goes where the first one is.
    const std::string second = SetupFrom(
        "v2", [](std::string ini) { return InsertAfter(ini, "Language=English\r\n", "Version=2.0\r\nAddfile=New.dll\r\n"); },
        {{"New.dll", "second version only"}});
    EXPECT_EQ(RunUnseen(second, "/S /LOG=" + trace_), 0u);
    EXPECT_TRUE(Holds(Trace(), "destination: " + dest_)) << TextOf(trace_);
    EXPECT_TRUE(fs::FileExists(dest_ + "\\New.dll"));
    EXPECT_FALSE(fs::PathExists(installation_.Destination));
    EXPECT_EQ(installation_.EntryText("DisplayVersion"), "2.0");
    EXPECT_EQ(installation_.EntryText("InstallLocation"), dest_);

    // One setup.log with both versions' files, each once.
    const std::vector<std::string> log = LinesOf(TextOf(dest_ + "\\" + kSetupLogName));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "SetupLOG");
    EXPECT_EQ(log[1], std::string("NAME=") + kTitle);
    for (const char* file : {"\\Old.dll", "\\New.dll", "\\DemoApp.exe"})
        EXPECT_EQ(std::count(log.begin(), log.end(), "COPYFILE=" + dest_ + file), 1) << file;

    EXPECT_EQ(installation_.RunEntry("QuietUninstallString", ""), 3u);  // the user's file stays, and so its folder
    EXPECT_TRUE(WaitFor([&] { return !fs::FileExists(dest_ + "\\" + kUninstallerName); }, 20000));
    EXPECT_EQ(NamesIn(dest_), std::vector<std::string>{"Notes.txt"});
    EXPECT_FALSE(fs::PathExists(installation_.ProgramFolder));
    EXPECT_FALSE(installation_.EntryExists());
}

TEST_F(Silent, WizardProposesTheCommandLinesFolderAndCancelEndsWithTwo) {
    const std::string exe = SetupFrom("wizard", Unchanged);
    TSetupProcess setup(exe, folder_.Temp(), "/LOG=" + trace_ + " /D=" + dest_);
    auto wizard = StartWizard(setup, "Welcome to the Setup Wizard for SkinSetup Demo");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(wizard->Next());
    wizard->Toggle(FindVisible(wizard->Form(), "Button"));  // the licence's consent
    ASSERT_TRUE(wizard->Next());
    const std::vector<std::string> texts = wizard->VisibleTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), dest_), texts.end()) << "not proposed";
    wizard->Click(wizard->Cancel());
    HWND dialog = setup.WaitForWindow("TConfirmationForm");
    ASSERT_NE(dialog, nullptr);
    PostMessageA(FindVisible(dialog, "Button", "Yes"), BM_CLICK, 0, 0);
    EXPECT_TRUE(setup.Ends(2));
    EXPECT_TRUE(folder_.WorkFolders().empty());
    EXPECT_FALSE(fs::PathExists(dest_));
    const std::vector<std::string> trace = Trace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "exit code 2");
}

TEST_F(Silent, UsageBoxForQuestionMarkAndForAnUnknownSwitch) {
    const std::string exe = SetupFrom("usage", Unchanged);
    // The usage with its exit codes, after the reason for a refusal.
    const std::string usage = UsageText();
    ASSERT_EQ(usage.substr(0, usage.find('\n')), "setup.exe [/S] [/LOG=FILE] [/D=PATH]");
    ASSERT_NE(usage.find("\n4\tbad command line"), std::string::npos);
    struct TCase {
        const char* Arguments;
        std::string Text;
    };
    for (const TCase& c : {TCase{"/?", usage}, TCase{"/X", "Unknown switch: /X\n\n" + usage}}) {
        SCOPED_TRACE(c.Arguments);
        TSetupProcess setup(exe, folder_.Temp(), c.Arguments);
        HWND box = setup.WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), c.Text);
        EXPECT_TRUE(setup.Windows("TSetupForm", false).empty()) << "the wizard started";
        PressOk(box);
        EXPECT_TRUE(setup.Ends(4));
        EXPECT_TRUE(folder_.WorkFolders().empty());
    }
}

}  // namespace
}  // namespace zub::e2e
