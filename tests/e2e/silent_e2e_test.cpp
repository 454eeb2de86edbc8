// End-to-end: setups made from the demo project run from the command line.
// Silent runs install, fail and upgrade without a window ever being shown
// (watched the whole time), the trace names what happened, the uninstall
// entry carries its values, and its quiet uninstall command removes it all;
// the wizard ends with the exit code of each outcome and shows the usage box.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/strings.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "formats/log_book.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_project_win.h"
#include "tests/e2e/wizard_driver_win.h"
#include "tests/win32/link_reader_win.h"
#include "tests/win32/registry_test_util.h"

namespace zub::e2e {

// From the command line: the staged demo project, the stub, the uninstaller.
std::string g_project, g_stub, g_uninstaller;

namespace {

const char kTitle[] = "SkinSetup Demo";

// The file's text; "" when there is none.
std::string TextOf(const std::string& path) { return fs::FileExists(path) ? ReadText(path) : std::string(); }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

struct TVisibleSearch {
    DWORD Process;
    std::set<std::string> Classes;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TVisibleSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->Process && IsWindowVisible(window)) {
        char name[128] = {};
        GetClassNameA(window, name, sizeof name);
        search->Classes.insert(name);
    }
    return TRUE;
}

// Watches the process to its end; the classes of the top-level windows of it
// that were ever seen visible. False in `ended` on time-out.
std::set<std::string> VisibleWindowsUntilExit(TSetupProcess& process, bool& ended, DWORD timeoutMs = 60000) {
    TVisibleSearch search{process.Id(), {}};
    ended = WaitFor(
        [&] {
            EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
            return process.WaitForExit(0);
        },
        timeoutMs);
    return search.Classes;
}

class Silent : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        root_ = GetTempDir() + "zubsilent" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        DeleteFolderTree(root_);
        tmp_ = root_ + "\\tmp\\";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
        record_ = root_ + "\\launched.txt";
        SetDemoRecord(record_);
        trace_ = root_ + "\\trace.txt";
        folder_ = root_ + "\\Some Folder\\Demo App";
        programFolder_ = GetProgramsFolder(nullptr) + "\\" + kTitle;
        desktopLink_ = GetShellFolder(0) + "\\" + kTitle + ".lnk";
        key_ = std::string(kUninstallRootKey) + kTitle;
        RemoveInstallation();
    }
    void TearDown() override {
        SetDemoRecord("");
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
        DeleteFolderTree(GetProgramFilesDir() + kTitle);
        DeleteFolderTree(programFolder_);
        fs::RemoveFile(desktopLink_);
        test::DeleteKeyTree(HKEY_LOCAL_MACHINE, key_);
    }

    // The demo project with its Setup.ini changed by `edit` and `extra`
    // files added, made into a setup of its own name.
    std::string SetupFrom(const std::string& name, const std::function<std::string(std::string)>& edit,
                          const std::map<std::string, std::string>& extra = {}) {
        const std::string folder = root_ + "\\" + name, exe = root_ + "\\" + name + ".exe";
        MakeProjectSetup(g_project, g_uninstaller, g_stub, folder, exe, edit, [&](const std::string& copy) {
            for (const auto& [file, text] : extra) WriteText(copy + "\\" + file, text);
        });
        return exe;
    }

    // Runs a setup with `arguments`, watching for windows; its exit code.
    DWORD RunUnseen(const std::string& exe, const std::string& arguments) {
        TSetupProcess setup(exe, tmp_, arguments);
        EXPECT_TRUE(setup.Started());
        bool ended = false;
        const std::set<std::string> seen = VisibleWindowsUntilExit(setup, ended);
        EXPECT_TRUE(ended) << "still running: " << arguments;
        EXPECT_TRUE(seen.empty()) << "a window was shown: " << *seen.begin();
        EXPECT_TRUE(WorkFolders().empty());
        return setup.ExitCode();
    }
    DWORD RunCommand(std::string command) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
        CloseHandle(pi.hThread);
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 999;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        return code;
    }
    std::vector<std::string> WorkFolders() {
        std::vector<std::string> names;
        for (const fs::DirEntry& e : fs::ListDirectory(tmp_))
            if (e.name.rfind("ZCTemp", 0) == 0) names.push_back(e.name);
        return names;
    }
    std::map<std::string, test::TRegValue> Entry() { return test::ListValues(HKEY_LOCAL_MACHINE, key_); }
    std::string EntryText(const std::string& name) {
        std::map<std::string, test::TRegValue> values = Entry();
        return values.count(name) ? std::string(values[name].data.c_str()) : std::string("(none)");
    }
    // The quiet uninstall command of the entry, run as a deployment tool runs it.
    DWORD UninstallQuietly() { return RunCommand(EntryText("QuietUninstallString")); }

    std::string root_, tmp_, record_, trace_, folder_, programFolder_, desktopLink_, key_;
};

std::string WithVersionAndMaker(std::string ini) {
    return Replace(ini, "Language=English\r\n",
                   "Language=English\r\nVersion=1.2.3\r\nPublisher=Demo Maker\r\nWebsite=https://example.org/demo\r\n");
}

TEST_F(Silent, InstallsEverythingUnseenAndItsQuietUninstallRemovesIt) {
    const std::string exe = SetupFrom("full", WithVersionAndMaker);
    EXPECT_EQ(RunUnseen(exe, "/S /LOG=" + trace_ + " /D=" + folder_), 0u);

    const std::string d = folder_;
    for (const char* file : {"DemoApp.exe", "ReadMe.txt", "Licence.txt", "Additional\\docs\\Manual.txt", "Uninstall.exe"})
        EXPECT_TRUE(fs::FileExists(d + "\\" + file)) << file;
    EXPECT_EQ(test::ReadLink(programFolder_ + "\\" + kTitle + ".lnk").target, d + "\\DemoApp.exe");
    EXPECT_TRUE(fs::FileExists(programFolder_ + "\\Uninstall.lnk"));
    EXPECT_EQ(test::ReadLink(desktopLink_).target, d + "\\DemoApp.exe");  // DesktopIcon=1 offers it ticked
    EXPECT_NE(TextOf(d + "\\setup.log").find("LINK=" + desktopLink_ + "\r\n"), std::string::npos);
    // Neither the read-me nor the program was started.
    EXPECT_FALSE(fs::FileExists(record_));

    std::map<std::string, test::TRegValue> values = Entry();
    uint64_t bytes = 0;
    for (const char* file : {"DemoApp.exe", "ReadMe.txt", "Licence.txt", "Additional\\docs\\Manual.txt", "Uninstall.exe"})
        bytes += static_cast<uint64_t>(fs::File::OpenRead(d + "\\" + file).Size());
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::string quoted = "\"" + d + "\\Uninstall.exe\"";
    EXPECT_EQ(values, (std::map<std::string, test::TRegValue>{
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

    // The trace tells an administrator what happened.
    const std::string trace = TextOf(trace_);
    for (const std::string& line :
         {std::string("unpacked: the payload into "), "copied: " + d + "\\DemoApp.exe\r\n",
          "created folder: " + programFolder_ + "\r\n", "created shortcut: " + desktopLink_,
          "registered: HKEY_LOCAL_MACHINE\\" + key_ + "\r\n", "wrote: " + d + "\\setup.log\r\n",
          std::string("exit code 0\r\n")})
        EXPECT_NE(trace.find(line), std::string::npos) << line << "\n" << trace;

    EXPECT_EQ(UninstallQuietly(), 0u);
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(d); }, 20000)) << "the destination stayed";
    EXPECT_FALSE(fs::PathExists(programFolder_));
    EXPECT_FALSE(fs::PathExists(desktopLink_));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, key_));
}

TEST_F(Silent, FailuresShowNothingEndWithTheirCodesAndLeaveNothing) {
    const std::string missing = SetupFrom("missing", [](std::string ini) {
        return Replace(ini, "Addfile=DemoApp.exe\r\n", "Addfile=DemoApp.exe\r\nAddfile=Missing.dat\r\n");
    });
    EXPECT_EQ(RunUnseen(missing, "/S /LOG=" + trace_ + " /D=" + folder_), 1u);
    EXPECT_FALSE(fs::PathExists(root_ + "\\Some Folder"));
    EXPECT_FALSE(fs::PathExists(programFolder_));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, key_));
    const std::string trace = TextOf(trace_);
    EXPECT_NE(trace.find("error: " + root_ + "\\tmp\\ZCTemp1\\Missing.dat could not be copied to " + folder_ +
                         "\\Missing.dat: "),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("answered Cancel: The file " + folder_ + "\\Missing.dat could not be copied"),
              std::string::npos);
    EXPECT_NE(trace.find("removed: " + folder_ + "\\DemoApp.exe\r\n"), std::string::npos);
    EXPECT_NE(trace.find("exit code 1\r\n"), std::string::npos);

    // A bad command line: nothing starts, not even the work folder.
    const std::string good = SetupFrom("good", [](std::string ini) { return ini; });
    EXPECT_EQ(RunUnseen(good, "/S /LOG=" + trace_ + " /D=relative\\App"), 4u);
    EXPECT_NE(TextOf(trace_).find("error: /D=relative\\App is not a full path"), std::string::npos);
    EXPECT_EQ(RunUnseen(good, "/S /unknown"), 4u);
    EXPECT_EQ(RunUnseen(good, "/S /?"), 4u);
    EXPECT_FALSE(fs::PathExists(GetProgramFilesDir() + kTitle));

    // A temporary folder set relative, which the system would make full in
    // the current folder: the setup makes nothing there and cannot start.
    const std::string current = root_ + "\\current";
    ASSERT_TRUE(fs::ForceDirectories(current + "\\relative"));
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
    {
        TSetupProcess setup(good, "relative", "/S /LOG=" + trace_);
        SetCurrentDirectoryA(before);
        // The setup took its TMP and TEMP from ours; ours are ours again.
        SetEnvironmentVariableA("TMP", tmp_.c_str());
        SetEnvironmentVariableA("TEMP", tmp_.c_str());
        EXPECT_TRUE(setup.WaitForExit(60000));
        EXPECT_EQ(setup.ExitCode(), 3u);
    }
    EXPECT_TRUE(fs::ListDirectory(current + "\\relative").empty());
    EXPECT_NE(TextOf(trace_).find("error: The temporary folder relative is not a full path"), std::string::npos)
        << TextOf(trace_);

    // A setup that cannot start: a malformed number in Setup.ini.
    const std::string broken =
        SetupFrom("broken", [](std::string ini) { return Replace(ini, "Fontheight=-11", "Fontheight=eleven"); });
    EXPECT_EQ(RunUnseen(broken, "/S /LOG=" + trace_), 3u);
    EXPECT_NE(TextOf(trace_).find("error: 'eleven'"), std::string::npos) << TextOf(trace_);
    EXPECT_FALSE(fs::PathExists(GetProgramFilesDir() + kTitle));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, key_));
}

TEST_F(Silent, SecondVersionOverTheFirstLeavesOneEntryAndAnUninstallOfBoth) {
    const std::string first = SetupFrom(
        "v1", [](std::string ini) { return Replace(ini, "Addfile=DemoApp.exe\r\n", "Addfile=DemoApp.exe\r\nAddfile=Old.dll\r\n"); },
        {{"Old.dll", "first version only"}});
    EXPECT_EQ(RunUnseen(first, "/S /D=" + folder_), 0u);
    // The user's own file in the folder is no part of either version.
    WriteText(folder_ + "\\Notes.txt", "mine");

    // The second version, without /D=: it goes where the first one is.
    const std::string second = SetupFrom("v2", [](std::string ini) {
        return Replace(ini, "Language=English\r\n", "Language=English\r\nVersion=2.0\r\nAddfile=New.dll\r\n");
    }, {{"New.dll", "second version only"}});
    EXPECT_EQ(RunUnseen(second, "/S /LOG=" + trace_), 0u);
    EXPECT_NE(TextOf(trace_).find("destination: " + folder_ + "\r\n"), std::string::npos) << TextOf(trace_);
    EXPECT_TRUE(fs::FileExists(folder_ + "\\New.dll"));
    EXPECT_FALSE(fs::PathExists(GetProgramFilesDir() + kTitle));
    EXPECT_EQ(EntryText("DisplayVersion"), "2.0");
    EXPECT_EQ(EntryText("InstallLocation"), folder_);

    // One setup.log with both versions' files, each once.
    const std::string log = TextOf(folder_ + "\\setup.log");
    EXPECT_EQ(log.rfind(std::string("SetupLOG\r\nNAME=") + kTitle + "\r\n", 0), 0u);
    for (const char* file : {"\\Old.dll", "\\New.dll", "\\DemoApp.exe"}) {
        const std::string line = "COPYFILE=" + folder_ + file + "\r\n";
        const size_t at = log.find(line);
        EXPECT_NE(at, std::string::npos) << file;
        EXPECT_EQ(log.find(line, at + 1), std::string::npos) << file << " twice";
    }

    EXPECT_EQ(UninstallQuietly(), 3u);  // the user's file stays, and so its folder
    EXPECT_TRUE(WaitFor([&] { return !fs::FileExists(folder_ + "\\Uninstall.exe"); }, 20000));
    std::vector<std::string> left;
    for (const fs::DirEntry& e : fs::ListDirectory(folder_)) left.push_back(e.name);
    EXPECT_EQ(left, std::vector<std::string>{"Notes.txt"});
    EXPECT_FALSE(fs::PathExists(programFolder_));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, key_));
}

// Clicks Forward and waits for another page.
bool Next(TWizard& wizard) {
    const std::string before = wizard.VisibleTexts().front();
    wizard.Click(wizard.Forward());
    return WaitFor([&] { return wizard.VisibleTexts().front() != before; });
}

TEST_F(Silent, WizardProposesTheCommandLinesFolderAndCancelEndsWithTwo) {
    const std::string exe = SetupFrom("wizard", [](std::string ini) { return ini; });
    TSetupProcess setup(exe, tmp_, "/LOG=" + trace_ + " /D=" + folder_);
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(form, nullptr);
    TWizard wizard(setup, form);
    ASSERT_TRUE(wizard.WaitForPage("Welcome to the Setup Wizard for SkinSetup Demo"));
    ASSERT_TRUE(Next(wizard));
    wizard.Toggle(FindVisible(form, "Button"));  // the licence's consent
    ASSERT_TRUE(Next(wizard));
    const std::vector<std::string> texts = wizard.VisibleTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), folder_), texts.end()) << "not proposed";
    wizard.Click(wizard.Cancel());
    HWND dialog = setup.WaitForWindow("TConfirmationForm");
    ASSERT_NE(dialog, nullptr);
    PostMessageA(FindVisible(dialog, "Button", "Yes"), BM_CLICK, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);
    EXPECT_TRUE(WorkFolders().empty());
    EXPECT_FALSE(fs::PathExists(folder_));
    EXPECT_NE(TextOf(trace_).find("exit code 2\r\n"), std::string::npos);
}

TEST_F(Silent, UsageBoxForQuestionMarkAndForAnUnknownSwitch) {
    const std::string exe = SetupFrom("usage", [](std::string ini) { return ini; });
    struct TCase {
        const char* Arguments;
        std::string FirstLine;
    };
    for (const TCase& c : {TCase{"/?", "setup.exe [/S] [/LOG=FILE] [/D=PATH]"}, TCase{"/X", "Unknown switch: /X"}}) {
        SCOPED_TRACE(c.Arguments);
        TSetupProcess setup(exe, tmp_, c.Arguments);
        HWND box = setup.WaitForWindow("#32770");
        ASSERT_NE(box, nullptr);
        const std::string text = MessageBoxText(box);
        EXPECT_EQ(text.substr(0, text.find('\n')), c.FirstLine);
        EXPECT_NE(text.find("4\tbad command line"), std::string::npos) << text;
        EXPECT_TRUE(setup.Windows("TSetupForm", false).empty()) << "the wizard started";
        PressOk(box);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(setup.ExitCode(), 4u);
        EXPECT_TRUE(WorkFolders().empty());
    }
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        fprintf(stderr, "usage: silent_e2e_tests PROJECT STUB UNINSTALLER [gtest options]\n");
        return 2;
    }
    using namespace zub::e2e;
    g_project = WindowsPathOf(argv[1]);
    g_stub = WindowsPathOf(argv[2]);
    g_uninstaller = WindowsPathOf(argv[3]);
    CoInitialize(nullptr);  // the shortcuts are read back through the shell
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
