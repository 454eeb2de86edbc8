// The installation's Win32 machine: folder test, copies with a pump, the
// copying page's message handling, and a whole run with real shortcuts.
#include "setup/install_system_win.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/file.h"
#include "base/strings.h"
#include "base/win32_error.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "setup/finish_setup.h"
#include "setup/install_run.h"
#include "shell/temp_folder.h"
#include "ui/controls_win.h"
#include "ui/form_win.h"
#include "tests/win32/link_reader_win.h"
#include "tests/win32/pump_util_win.h"

namespace zub {
namespace {

void WriteText(const std::string& path, const std::string& text) {
    fs::File file = fs::File::Create(path);
    file.Write(text.data(), text.size());
}

std::string ReadText(const std::string& path) {
    std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

class InstallSystemTest : public ::testing::Test {
protected:
    // The shell may still hold a shortcut it was told about for a moment.
    void TearDown() override {
        EXPECT_TRUE(test::PumpUntil(
            [this] {
                try {
                    DeleteFolderTree(folder_);
                    return true;
                } catch (const std::exception&) {
                    return false;
                }
            },
            5000));
    }
    const TTempFolder temp_{"zubinstall."};
    const std::string folder_ = temp_.Folder();
};

TEST_F(InstallSystemTest, FolderPresenceByDriveListOrSearch) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string drive = std::string(1, windows[0]) + ":\\";
    std::string lower = drive;
    lower[0] = static_cast<char>(tolower(lower[0]));
    // A letter no drive has.
    DWORD drives = GetLogicalDrives();
    char unused = 'Z';
    while (unused > 'A' && (drives >> (unused - 'A') & 1)) --unused;
    WriteText(folder_ + "\\file.txt", "x");

    struct Case {
        std::string path;
        bool present;
    } cases[] = {
        {drive, true},
        {lower, true},
        {std::string(1, unused) + ":\\", false},
        {folder_, true},
        {folder_ + "\\", true},
        {folder_ + "\\\\", false},  // only one trailing backslash is taken off
        {folder_ + "\\file.txt", false},
        {folder_ + "\\missing", false},
        {folder_.substr(0, folder_.size() - 1) + "*", false},  // wildcards never name a folder
    };
    for (const Case& c : cases) EXPECT_EQ(IsFolderPresent(c.path), c.present) << c.path;

    // The caller's error mode is back afterwards.
    UINT mine = SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    UINT before = SetErrorMode(mine);
    IsFolderPresent(folder_);
    EXPECT_EQ(SetErrorMode(before), mine);
}

TEST_F(InstallSystemTest, CopyReplacesPumpsDuringLargeFilesAndGivesTheReason) {
    TWin32InstallSystem system(nullptr);
    const std::string source = folder_ + "\\big.bin", target = folder_ + "\\copy.bin";
    WriteText(source, std::string(16 << 20, 'b'));
    WriteText(target, "old");
    int pumps = 0;
    TCopyResult result = system.CopyFile(source, target, [&] { ++pumps; });
    EXPECT_TRUE(result.Ok);
    EXPECT_GE(pumps, 4);  // between blocks, not only between files
    EXPECT_EQ(fs::File::OpenRead(target).Size(), 16 << 20);

    result = system.CopyFile(folder_ + "\\missing.bin", target, [] {});
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Reason, SystemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(result.Reason.empty());
}

TEST_F(InstallSystemTest, ExceptionFromThePumpStopsTheCopyAndComesThrough) {
    TWin32InstallSystem system(nullptr);
    WriteText(folder_ + "\\big.bin", std::string(8 << 20, 'b'));
    EXPECT_THROW(system.CopyFile(folder_ + "\\big.bin", folder_ + "\\copy.bin", [] { throw Error("stop"); }), Error);
}

TEST_F(InstallSystemTest, CreateDirMakesOneLevelAndGivesTheCode) {
    TWin32InstallSystem system(nullptr);
    EXPECT_EQ(system.CreateDir(folder_ + "\\one"), 0);
    EXPECT_EQ(system.CreateDir(folder_ + "\\two\\three"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(system.CreateDir(folder_ + "\\one"), ERROR_ALREADY_EXISTS);
    // The same for a folder made with the program files folder's rights.
    EXPECT_EQ(system.CreateInstallationDir(folder_ + "\\app"), 0);
    EXPECT_TRUE(fs::DirectoryExists(folder_ + "\\app"));
    EXPECT_EQ(system.CreateInstallationDir(folder_ + "\\two\\three"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(system.CreateInstallationDir(folder_ + "\\app"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(system.ProgramFilesFolder(), GetProgramFilesDir());
}

TEST_F(InstallSystemTest, NotepadIsInTheWindowsFolder) {
    TWin32InstallSystem system(nullptr);
    std::string notepad = NotepadPath(system.WindowsFolder());
    EXPECT_NE(notepad, "notepad.exe");
    EXPECT_TRUE(fs::FileExists(notepad)) << notepad;
}

// A form that remembers the messages it got that matter here.
class TRecordingForm : public TForm {
public:
    using TForm::TForm;
    std::vector<UINT> Received;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP || message == WM_TIMER || message == WM_CLOSE || message == WM_KEYDOWN)
            Received.push_back(message);
        return TForm::WndProc(message, wParam, lParam);
    }
};

// A form with a label, a progress bar and a button, as the copying page has,
// and another form that is not the wizard.
class CopyPageTest : public InstallSystemTest {
protected:
    void SetUp() override {
        InstallSystemTest::SetUp();
        form_ = std::make_unique<TRecordingForm>(nullptr, "TCopyTestForm", "form", TFormBorderStyle::bsDialog, 300, 200);
        other_ = std::make_unique<TRecordingForm>(nullptr, "TCopyTestForm", "other", TFormBorderStyle::bsDialog, 100,
                                                  100);
        label_ = &form_->Own<TLabel>(form_.get());
        progress_ = &form_->Own<TProgressBar>(form_.get());
        button_ = &form_->Own<TButton>(form_.get());
        button_->OnClick = [this] { ++clicks_; };
        form_->Show();
    }
    void TearDown() override {
        form_.reset();
        other_.reset();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
        InstallSystemTest::TearDown();
    }
    bool Got(const TRecordingForm& form, UINT message) const {
        return std::find(form.Received.begin(), form.Received.end(), message) != form.Received.end();
    }
    TCopyPageWin Page() { return TCopyPageWin(form_->Handle(), *label_, *progress_, "Test"); }

    std::unique_ptr<TRecordingForm> form_, other_;
    TLabel* label_ = nullptr;
    TProgressBar* progress_ = nullptr;
    TButton* button_ = nullptr;
    int clicks_ = 0;
};

TEST_F(CopyPageTest, ControlsShowTheRunsState) {
    TCopyPageWin page = Page();
    page.SetCopyMessage("copying App.exe");
    page.SetProgress(66);
    EXPECT_EQ(label_->Text(), "copying App.exe");
    EXPECT_EQ(progress_->Position(), 66);
}

TEST_F(CopyPageTest, InputAndCloseForTheFormAreDroppedOtherMessagesHandled) {
    TCopyPageWin page = Page();
    PostMessageA(button_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(button_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PostMessageA(form_->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(form_->Handle(), WM_APP, 0, 0);
    PostMessageA(other_->Handle(), WM_KEYDOWN, VK_RETURN, 0);  // not the wizard's
    SetTimer(form_->Handle(), 1, 1, nullptr);
    ASSERT_TRUE(test::WaitForQueued(form_->Handle(), WM_TIMER));
    page.ProcessMessages();
    KillTimer(form_->Handle(), 1);

    EXPECT_TRUE(IsWindowVisible(form_->Handle()));
    EXPECT_FALSE(Got(*form_, WM_CLOSE));
    EXPECT_FALSE(Got(*form_, WM_KEYDOWN));
    EXPECT_EQ(clicks_, 0);
    EXPECT_TRUE(Got(*form_, WM_APP));
    EXPECT_TRUE(Got(*form_, WM_TIMER));
    EXPECT_TRUE(Got(*other_, WM_KEYDOWN));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) << "left in the queue: " << message.message;
}

TEST_F(CopyPageTest, QuitIsLeftForTheMessageLoop) {
    TCopyPageWin page = Page();
    PostQuitMessage(3);
    page.ProcessMessages();
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
}

// The real machine with the Start menu and desktop in a temporary folder.
class TTempShellSystem : public TWin32InstallSystem {
public:
    TTempShellSystem(std::string programs, std::string desktop)
        : TWin32InstallSystem(nullptr), programs_(std::move(programs)), desktop_(std::move(desktop)) {}
    std::string ProgramsFolder() override { return programs_; }
    std::string DesktopFolder() override { return desktop_; }
    void WriteUninstallEntry(const TUninstallEntry&) override {}  // the uninstall key has tests of its own

private:
    std::string programs_, desktop_;
};

class TQuietPage : public ICopyPage {
public:
    void SetCopyMessage(const std::string&) override {}
    void SetProgress(int) override {}
    void ProcessMessages() override {}
    bool AskRetry(const std::string&) override { return false; }
};

TEST_F(InstallSystemTest, WholeRunMakesShortcutsThatReadBack) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    TSetupData data;
    data.WorkFolder = folder_ + "\\work\\";
    data.Destination = folder_ + "\\Program Files\\App\\";  // as the folder dialog leaves it
    data.AddFiles = {"App.exe", "Docs\\Read Me.txt"};
    data.TargetFile = "App.exe";
    data.ReadMe = "Docs\\Read Me.txt";
    data.Folder = "Test App";
    data.RazederodezTitle = "Test App";
    fs::ForceDirectories(data.WorkFolder + "Docs");
    WriteText(data.WorkFolder + "App.exe", "MZ");
    WriteText(data.WorkFolder + "Docs\\Read Me.txt", "read me");
    const std::string programs = folder_ + "\\Programs", desktop = folder_ + "\\Desktop";
    fs::CreateDir(programs);
    fs::CreateDir(desktop);

    TTempShellSystem system(programs, desktop);
    TQuietPage page;
    TSetupLogBook log;
    TInstallJournal journal;
    TInstallRun(data, log, system, page, journal).InstallFiles();
    FinishSetup(data, log, {true, false, false}, system, journal);

    const std::string d = data.Destination;
    EXPECT_EQ(ReadText(d + "\\Docs\\Read Me.txt"), "read me");
    test::TLinkContent program = test::ReadLink(programs + "\\Test App\\Test App.lnk");
    // The shell stores the target with the doubled backslash made single.
    EXPECT_EQ(program.target, CollapseBackslashes(d + "\\App.exe"));
    EXPECT_EQ(program.workingFolder, d);
    EXPECT_EQ(program.description, "Test App");
    EXPECT_EQ(test::StoredShowCommand(programs + "\\Test App\\Test App.lnk"), SW_SHOWNORMAL);
    test::TLinkContent uninstall = test::ReadLink(programs + "\\Test App\\Uninstall.lnk");
    EXPECT_EQ(uninstall.description, "Uninstall Test App");
    test::TLinkContent readMe = test::ReadLink(programs + "\\Test App\\Read Me.txt.lnk");
    EXPECT_EQ(readMe.target, NotepadPath(system.WindowsFolder()));
    EXPECT_EQ(readMe.arguments, "\"" + d + "\\Docs\\Read Me.txt\"");
    test::TLinkContent onDesktop = test::ReadLink(desktop + "\\Test App.lnk");
    EXPECT_EQ(onDesktop.target, CollapseBackslashes(d + "\\App.exe"));
    EXPECT_TRUE(fs::FileExists(d + "\\setup.log"));
    CoUninitialize();
}

}  // namespace
}  // namespace zub
