// End-to-end: the demo setup made by skinsetup is installed as the setup
// installs (its payload unpacked by the setup's own steps, the files copied,
// the shortcuts made and the log book written), then Uninstall.exe from the
// destination removes it, silently or with its two message boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/payload.h"
#include "archive/payload_layout.h"
#include "archive/zlb_archive.h"
#include "base/file.h"
#include "base/strings.h"
#include "formats/log_book.h"
#include "formats/setup_script.h"
#include "formats/uninstall_entry.h"
#include "setup/uninstall_key_win.h"
#include "shell/registry_win.h"
#include "shell/shell_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/screen_shot_win.h"

namespace zub::e2e {
namespace {

// The whole screen, for the uninstaller's boxes, in the folder the command
// line names with shots=.
void SaveScreenshot(const std::string& name) {
    if (HasArgument("shots")) SaveScreen(FullScreen(), Argument("shots") + "\\" + name);
}

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        const std::string unique = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        work_ = folder_ / "work\\";
        for (const char* sub : kPayloadFolders) ASSERT_TRUE(fs::ForceDirectories(work_ + sub));
        TZLBArchive archiver;
        UnpackPayload(archiver, Argument("setup"), work_);
        script_.Data.WorkFolder = work_;
        ReadSetupScript(work_ + kSetupScriptName, script_);
        title_ = script_.Data.RazederodezTitle + " " + unique;
        // The program-files folder is where a removal may wait for the restart.
        dest_ = inProgramFiles_ ? CollapseBackslashes(GetProgramFilesDir() + "\\" + title_)
                                : folder_ / ("Programs\\" + script_.Data.Destination);
        programs_ = GetProgramsFolder(nullptr) + "\\" + title_;
        Install();
    }
    void TearDown() override {
        // The uninstaller's clean-up copy may still be ending in our temporary folder.
        EXPECT_TRUE(RemoveTree(folder_.Path(), 20000));
        if (inProgramFiles_) {
            EXPECT_TRUE(RemoveTree(dest_, 20000));
        }
        DeleteFolderTree(programs_);
        fs::RemoveFile(desktopLink_);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstallRootKey + title_).c_str());
    }

    void Link(const std::string& file, const std::string& target) {
        TShellLink link;
        link.Target = target;
        link.WorkingFolder = dest_;
        ASSERT_TRUE(CreateShellLink(file, link)) << file;
        book_.AddLinkEntry(file);
        links_.push_back(file);
    }

    // What the installation run and the finishing actions do, in their order.
    void Install() {
        const TSetupData& data = script_.Data;
        book_.AddDirectoryEntry(dest_);
        for (const char* sub : kPayloadFolders) ASSERT_TRUE(fs::ForceDirectories(dest_ + "\\" + sub));
        for (const char* sub : kPayloadFolders) book_.AddDirectoryEntry(dest_ + "\\" + sub);
        for (const std::string& file : data.AddFiles) {
            const std::string target = dest_ + "\\" + file;
            fs::ForceDirectories(ExtractFilePath(target));
            ASSERT_TRUE(CopyFileA((work_ + file).c_str(), target.c_str(), FALSE)) << file;
            book_.AddFileEntry(target);
            files_.push_back(target);
        }
        ASSERT_TRUE(CreateDirectoryA(programs_.c_str(), nullptr)) << programs_;
        book_.AddDirectoryEntry(programs_);
        Link(programs_ + "\\" + title_ + ".lnk", dest_ + "\\" + data.TargetFile);
        Link(programs_ + "\\Uninstall.lnk", dest_ + "\\uninstall.exe");
        Link(programs_ + "\\" + data.ReadMe + ".lnk", "notepad.exe");
        desktopLink_ = GetShellFolder(0) + "\\" + title_ + ".lnk";
        Link(desktopLink_, dest_ + "\\" + data.TargetFile);
        book_.LogFileName = dest_ + "\\" + kSetupLogName;
        book_.UninstallKeyName = book_.DisplayName = title_;
        TSetupData installed = data;
        installed.Destination = dest_;
        WriteUninstallEntry(UninstallEntryOf(book_, installed, {1, "20260101"}));
        book_.SaveLog();
        ASSERT_TRUE(KeyExists());
        ASSERT_TRUE(fs::FileExists(Uninstaller()));
    }

    std::string Uninstaller() const { return dest_ + "\\" + kUninstallerName; }
    bool KeyExists() const { return OpenKeyForReading(HKEY_LOCAL_MACHINE, kUninstallRootKey + title_).valid(); }

    // Runs the uninstaller from the destination and returns its exit code.
    DWORD RunSilently() {
        TSetupProcess uninstaller(Uninstaller(), folder_.Temp(), "/S");
        EXPECT_TRUE(uninstaller.Started());
        EXPECT_TRUE(uninstaller.WaitForExit(60000)) << "no end: a window is waiting?";
        return uninstaller.ExitCode();
    }

    // Nothing of the installation is left but the destination folder.
    void ExpectRemovedButTheDestination() {
        // The uninstaller goes once it has ended.
        EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(Uninstaller()); }, 30000)) << "Uninstall.exe is still there";
        for (const std::string& path : files_) EXPECT_FALSE(fs::PathExists(path)) << path;
        for (const std::string& path : links_) EXPECT_FALSE(fs::PathExists(path)) << path;
        for (const char* sub : kPayloadFolders) EXPECT_FALSE(fs::PathExists(dest_ + "\\" + sub)) << sub;
        EXPECT_FALSE(fs::PathExists(programs_));
        EXPECT_FALSE(fs::PathExists(dest_ + "\\" + kSetupLogName));
        EXPECT_FALSE(KeyExists());
    }

    void WriteUserFile() { WriteText(dest_ + "\\Notes.txt", "mine"); }

    // An installed file held open without sharing, as a running program holds its own.
    HANDLE HoldOpen(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
        return file;
    }
    std::string Program() const { return dest_ + "\\" + script_.Data.TargetFile; }

    bool inProgramFiles_ = false;
    TTestFolder folder_;
    std::string work_, title_, dest_, programs_, desktopLink_;
    TSetupDataTarget script_;
    TSetupLogBook book_;
    std::vector<std::string> files_, links_;
};

TEST_F(Uninstall, SilentRunKeepsTheUsersFileAndItsFolderAndSaysSo) {
    WriteUserFile();
    EXPECT_EQ(RunSilently(), 3u);
    ExpectRemovedButTheDestination();
    EXPECT_TRUE(fs::FileExists(dest_ + "\\Notes.txt"));

    // Once more, with an uninstaller but no log: nothing to do, nothing touched.
    ASSERT_TRUE(CopyFileA((work_ + kUninstallerName).c_str(), Uninstaller().c_str(), FALSE));
    EXPECT_EQ(RunSilently(), 2u);
    EXPECT_TRUE(fs::FileExists(dest_ + "\\Notes.txt"));
    EXPECT_TRUE(fs::FileExists(Uninstaller()));
}

TEST_F(Uninstall, SilentRunRemovesEverythingAndTheDestination) {
    // Copied from a read-only source, a file is read-only after installing.
    ASSERT_TRUE(SetFileAttributesA(files_[0].c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(RunSilently(), 0u);
    ExpectRemovedButTheDestination();
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(dest_); }, 30000)) << "the destination is still there";
}

// A visible message box of the process whose text starts with `start`,
// painted for its picture.
HWND WaitForBox(const TSetupProcess& process, const std::string& start) {
    HWND found = process.WaitForBox(start);
    if (found) RedrawWindow(found, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return found;
}

TEST_F(Uninstall, AsksFirstAndListsWhatStays) {
    WriteUserFile();
    // A damaged log naming the desktop and a drive root: never touched, but listed.
    const std::string desktop = GetShellFolder(0);
    book_.AddDirectoryEntry("C:\\");
    book_.AddDirectoryEntry(desktop);
    book_.SaveLog();
    // The program is running: its file is in use.
    const std::string program = Program();
    HANDLE inUse = HoldOpen(program);

    TSetupProcess uninstaller(Uninstaller(), folder_.Temp());
    ASSERT_TRUE(uninstaller.Started());
    HWND question = WaitForBox(uninstaller, "Do you want");
    ASSERT_NE(question, nullptr) << "no question";
    EXPECT_EQ(MessageBoxText(question), "Do you want to remove " + title_ + " and all of its components?");
    EXPECT_EQ(WindowText(question), "Uninstall");
    EXPECT_EQ(WindowText(GetDlgItem(question, IDYES)), "&Yes");
    EXPECT_EQ(WindowText(GetDlgItem(question, IDNO)), "&No");
    EXPECT_TRUE(fs::FileExists(files_[0])) << "removed before the answer";
    SaveScreenshot("uninstall-question.bmp");
    Answer(question, IDYES);

    // The file in use is named, with Retry and Skip; Retry while it is open asks again.
    const std::string retryText = program + "\r\n\r\nThis file cannot be removed: it is in use or protected. Close the "
                                            "program and choose Retry, or Skip to remove it later.";
    for (int round = 0; round < 2; ++round) {
        HWND retry = WaitForBox(uninstaller, program);
        ASSERT_NE(retry, nullptr) << "no Retry/Skip question, round " << round;
        EXPECT_EQ(MessageBoxText(retry), retryText);
        EXPECT_EQ(WindowText(retry), "Uninstall");
        EXPECT_EQ(WindowText(GetDlgItem(retry, IDRETRY)), "&Retry");
        EXPECT_EQ(WindowText(GetDlgItem(retry, IDCANCEL)), "&Skip");
        if (round == 0) SaveScreenshot("uninstall-retry.bmp");
        EXPECT_TRUE(fs::FileExists(program));
        if (round == 1) CloseHandle(inUse);  // the program is closed
        Answer(retry, IDRETRY);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(retry); }));
    }

    HWND done = WaitForBox(uninstaller, title_ + " was removed");
    ASSERT_NE(done, nullptr) << "no final message";
    EXPECT_EQ(MessageBoxText(done), title_ + " was removed, except:\r\n" + desktop + " (a folder of the system)\r\n" +
                                        "C:\\ (the root of a drive)\r\n" + dest_ + " (the folder is not empty)");
    SaveScreenshot("uninstall-done.bmp");
    PressOk(done);
    EXPECT_TRUE(uninstaller.Ends(3));
    EXPECT_TRUE(fs::DirectoryExists(desktop));
    EXPECT_FALSE(fs::FileExists(program));
    ExpectRemovedButTheDestination();
}

TEST_F(Uninstall, SilentRunWithAFileInUseKeepsTheEntryAndALogOfWhatStayedForASecondRun) {
    // Outside the program-files folder nothing waits for the restart.
    const std::string program = Program();
    HANDLE inUse = HoldOpen(program);
    EXPECT_EQ(RunSilently(), 3u);
    EXPECT_TRUE(KeyExists());
    EXPECT_TRUE(fs::FileExists(Uninstaller()));
    EXPECT_EQ(ReadText(dest_ + "\\" + kSetupLogName), "SetupLOG\r\nNAME=" + title_ + "\r\nKEY=" + title_ +
                                                     "\r\nCOPYFILE=" + Uninstaller() + "\r\nCOPYFILE=" + program +
                                                     "\r\nDIRECTORY=" + dest_ + "\r\n");
    for (const std::string& path : links_) EXPECT_FALSE(fs::PathExists(path)) << path;
    for (const std::string& path : files_)
        if (path != program && path != Uninstaller()) {
            EXPECT_FALSE(fs::PathExists(path)) << path;
        }

    // The program closed, a second run finishes the job.
    CloseHandle(inUse);
    EXPECT_EQ(RunSilently(), 0u);
    ExpectRemovedButTheDestination();
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(dest_); }, 30000)) << "the destination is still there";
}

// The removals waiting for the restart, as the system keeps them: pairs of
// "\??\" + path and the new name, empty for a removal.
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

// The strings of the value, the empty ones included; false when it cannot be read.
bool PendingStrings(HKEY key, std::vector<std::string>& strings) {
    std::string data(4096, '\0');
    for (;;) {
        DWORD size = DWORD(data.size()), type = 0;
        const LONG rc = RegQueryValueExA(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        if (rc == ERROR_MORE_DATA) {
            data.resize(std::max<size_t>(size, data.size() * 2));
            continue;
        }
        if (rc == ERROR_FILE_NOT_FOUND) size = 0;
        else if (rc != ERROR_SUCCESS) return false;
        data.resize(size);
        break;
    }
    while (!data.empty() && data.back() == '\0') data.pop_back();
    strings.clear();
    for (size_t start = 0; start <= data.size() && !data.empty();) {
        const size_t end = std::min(data.find('\0', start), data.size());
        strings.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    // A removal's empty new name may have been the last string.
    if (strings.size() % 2) strings.emplace_back();
    return true;
}

std::vector<std::string> PendingRemovals() {
    std::vector<std::string> removals;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return removals;
    std::vector<std::string> strings;
    EXPECT_TRUE(PendingStrings(key, strings)) << "the pending removals cannot be read";
    RegCloseKey(key);
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        if (strings[i + 1].empty()) removals.push_back(strings[i]);
    return removals;
}

// Takes the entries below `folder` out of the list again, so that the next
// start of the test system does not carry them out.
void ForgetPendingRemovals(const std::string& folder) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> strings;
    if (!PendingStrings(key, strings)) {
        RegCloseKey(key);
        return;
    }
    std::string kept;
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        if (LowerAscii(strings[i]).find(LowerAscii(folder)) == std::string::npos)
            kept += strings[i] + '\0' + strings[i + 1] + '\0';
    if (kept.empty())
        RegDeleteValueA(key, kPendingValue);
    else
        RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       DWORD(kept.size() + 1));
    RegCloseKey(key);
}

class UninstallInProgramFiles : public Uninstall {
protected:
    UninstallInProgramFiles() { inProgramFiles_ = true; }
    // Once the clean-up copy has ended (the base waits for it): it arranges removals too.
    void TearDown() override {
        Uninstall::TearDown();
        ForgetPendingRemovals(dest_);
        ForgetPendingRemovals(folder_.Path());
    }
};

TEST_F(UninstallInProgramFiles, SilentRunWithAFileInUseLeavesItAndItsFolderToTheRestart) {
    const std::string program = Program();
    HANDLE inUse = HoldOpen(program);
    EXPECT_EQ(RunSilently(), 3u);
    // Nothing waits for a second run: the restart completes the removal.
    EXPECT_FALSE(KeyExists());
    EXPECT_FALSE(fs::PathExists(dest_ + "\\" + kSetupLogName));
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(Uninstaller()); }, 30000)) << "Uninstall.exe is still there";
    EXPECT_TRUE(fs::FileExists(program));
    CloseHandle(inUse);
    const std::vector<std::string> pending = PendingRemovals();
    const auto at = [&](const std::string& path) {
        return std::find(pending.begin(), pending.end(), "\\??\\" + path) - pending.begin();
    };
    ASSERT_LT(size_t(at(program)), pending.size()) << "the program is not left to the restart";
    ASSERT_LT(size_t(at(dest_)), pending.size()) << "its folder is not left to the restart";
    EXPECT_LT(at(program), at(dest_)) << "the folder would go before the file in it";
}

TEST_F(UninstallInProgramFiles, ProgramClosedWhileTheFinalMessageIsOpenTheFolderGoesAtTheEnd) {
    const std::string program = Program();
    HANDLE inUse = HoldOpen(program);
    TSetupProcess uninstaller(Uninstaller(), folder_.Temp());
    ASSERT_TRUE(uninstaller.Started());
    HWND question = WaitForBox(uninstaller, "Do you want");
    ASSERT_NE(question, nullptr);
    Answer(question, IDYES);
    HWND retry = WaitForBox(uninstaller, program);
    ASSERT_NE(retry, nullptr) << "no Retry/Skip question";
    Answer(retry, IDCANCEL);  // Skip

    HWND done = WaitForBox(uninstaller, title_ + " was removed");
    ASSERT_NE(done, nullptr) << "no final message";
    EXPECT_EQ(MessageBoxText(done),
              title_ + " was removed. A restart completes the removal of:\r\n" + program + "\r\n" + dest_);
    SaveScreenshot("uninstall-restart.bmp");
    // The program ends before the message is answered: nothing needs to wait for the restart any more.
    CloseHandle(inUse);
    PressOk(done);
    EXPECT_TRUE(uninstaller.Ends(3));
    EXPECT_FALSE(KeyExists());
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(dest_); }, 30000)) << "the destination is still there";
}

TEST_F(Uninstall, NoLeavesEverything) {
    TSetupProcess uninstaller(Uninstaller(), folder_.Temp());
    HWND question = WaitForBox(uninstaller, "Do you want");
    ASSERT_NE(question, nullptr);
    Answer(question, IDNO);
    EXPECT_TRUE(uninstaller.Ends(1));
    for (const std::string& path : files_) EXPECT_TRUE(fs::FileExists(path)) << path;
    for (const std::string& path : links_) EXPECT_TRUE(fs::FileExists(path)) << path;
    EXPECT_TRUE(fs::FileExists(dest_ + "\\" + kSetupLogName));
    EXPECT_TRUE(KeyExists());
}

}  // namespace
}  // namespace zub::e2e
