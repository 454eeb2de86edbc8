// End-to-end: Browse on the destination page of a real setup.exe opens the
// folder dialog; what is chosen there becomes the destination, and the
// installation goes there. The dialog's tree is read from outside through
// the tree view's own messages, with the item records in the setup's memory.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/file.h"
#include "shell/shell_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_setup_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

// A tree view of another process: item texts and rectangles are exchanged
// through a block of that process's memory.
class TRemoteTree {
public:
    TRemoteTree(DWORD processId, HWND tree) : tree_(tree) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) block_ = VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~TRemoteTree() {
        if (block_) VirtualFreeEx(process_, block_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    TRemoteTree(const TRemoteTree&) = delete;
    TRemoteTree& operator=(const TRemoteTree&) = delete;
    bool Ready() const { return block_ != nullptr; }

    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    bool Expanded(HTREEITEM item) const {
        return SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED;
    }
    std::string Text(HTREEITEM item) const {
        TVITEMA record{};
        record.mask = TVIF_HANDLE | TVIF_TEXT;
        record.hItem = item;
        record.pszText = static_cast<char*>(block_) + 512;
        record.cchTextMax = 1024;
        if (!Write(&record, sizeof record) || !SendMessageA(tree_, TVM_GETITEMA, 0, Address())) return "?";
        char text[1024] = {};
        ReadProcessMemory(process_, record.pszText, text, sizeof text - 1, nullptr);
        return text;
    }
    // Clicks the middle of an item's text with the left mouse button.
    bool Click(HTREEITEM item) const {
        SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        RECT rect{};
        std::memcpy(&rect, &item, sizeof item);  // the message takes the item in the rectangle
        if (!Write(&rect, sizeof rect) || !SendMessageA(tree_, TVM_GETITEMRECT, TRUE, Address())) return false;
        ReadProcessMemory(process_, block_, &rect, sizeof rect, nullptr);
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageA(tree_, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(tree_, WM_LBUTTONUP, 0, point);
        return true;
    }

private:
    bool Write(const void* data, size_t size) const {
        return WriteProcessMemory(process_, block_, data, size, nullptr) != FALSE;
    }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(block_); }

    HWND tree_;
    HANDLE process_ = nullptr;
    void* block_ = nullptr;
};

struct TClassSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<TClassSearch*>(context);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search.className) != 0) return TRUE;
    search.found = window;
    return FALSE;
}

// The first child window of a class below `root`, at any depth.
HWND FindChildOfClass(HWND root, const char* className) {
    TClassSearch search{className, nullptr};
    EnumChildWindows(root, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Browse : public ::testing::Test {
protected:
    // An English setup without licence that installs ReadMe.txt.
    std::string MakeSetup(const std::string& destination) {
        project_.Write("Setup.ini",
                       "[browse test]\r\nObject=Setup\r\nRazederodezTitle=Demo App\r\nLanguage=English\r\nLicence=\r\n"
                       "ReadMe=ReadMe.txt\r\nDestination=" + destination +
                           "\r\nFolder=Demo App\r\nLaunchProg=0\r\nDesktopIcon=0\r\nTextBoxColor=16447220\r\n"
                           "Fontname=MS Sans Serif\r\nFontheight=-11\r\nAddfile=ReadMe.txt\r\nend\r\n" +
                           project_.WriteWizardSkin());
        project_.Write("ReadMe.txt", "read me");
        return e2e::MakeSetup(Argument("stub"), folder_ / "BrowseSetup.exe", project_.Payload());
    }

    // Presses Browse and waits for the dialog to show.
    HWND OpenDialog(TSetupProcess& setup, TWizard& w) {
        HWND browse = FindVisible(w.Form(), "Button", "Browse...");
        if (!browse) return nullptr;
        PostMessageA(browse, BM_CLICK, 0, 0);
        HWND dialog = setup.WaitForWindow("TFolderMan", 10000);
        return dialog && WaitFor([&] { return IsWindowVisible(dialog) != FALSE; }, 10000) ? dialog : nullptr;
    }
    static bool WaitHidden(HWND dialog) {
        return WaitFor([&] { return !IsWindowVisible(dialog); }, 10000);
    }

    TTestFolder folder_;
    TTestProject project_{folder_ / "project"};
    // An installation's entry would propose its folder to the next test.
    TFreshInstallation installation_{"Demo App"};
};

TEST_F(Browse, TheDialogChoosesTheDestination) {
    const std::string name = "Browse Demo " + std::to_string(GetCurrentProcessId());
    const std::string proposed = GetProgramFilesDir() + name;
    TSetupProcess setup(MakeSetup(name), folder_.Temp());
    auto wizard = StartWizard(setup, "Welcome to the Setup Wizard for Demo App");
    ASSERT_TRUE(wizard);
    TWizard& w = *wizard;
    HWND form = w.Form();
    w.Click(w.Forward());
    ASSERT_TRUE(w.WaitForPage("Choose Destination Location"));
    ASSERT_TRUE(FindVisible(form, "Static", proposed.c_str()));

    // The dialog opens on the proposal, the tree on the program-files folder,
    // opened one level. "Abbrechen" leaves the destination as it was.
    HWND dialog = OpenDialog(setup, w);
    ASSERT_TRUE(dialog) << "no folder dialog";
    EXPECT_EQ(WindowText(dialog), "Choose Folder");
    HWND edit = FindVisible(dialog, "Edit");
    HWND treeWindow = FindChildOfClass(dialog, WC_TREEVIEWA);
    ASSERT_TRUE(edit && treeWindow);
    EXPECT_EQ(WindowText(edit), proposed);
    TRemoteTree tree(setup.Id(), treeWindow);
    ASSERT_TRUE(tree.Ready());
    HTREEITEM selected = tree.Selected();
    ASSERT_TRUE(selected);
    std::string programFiles = GetProgramFilesDir();
    programFiles.pop_back();
    EXPECT_EQ(tree.Text(selected), programFiles.substr(programFiles.rfind('\\') + 1));
    EXPECT_TRUE(tree.Expanded(selected));
    PostMessageA(FindVisible(dialog, "Button", "Abbrechen"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitHidden(dialog));
    EXPECT_TRUE(FindVisible(form, "Static", proposed.c_str()));

    // Clicking a folder puts its path with a backslash into the edit field;
    // the close box cancels that too.
    ASSERT_EQ(OpenDialog(setup, w), dialog);
    HTREEITEM child = tree.Next(tree.Selected(), TVGN_CHILD);
    ASSERT_TRUE(child);
    const std::string childPath = GetProgramFilesDir() + tree.Text(child) + "\\";
    ASSERT_TRUE(tree.Click(child));
    EXPECT_TRUE(WaitFor([&] { return WindowText(edit) == childPath; }, 5000)) << WindowText(edit);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    ASSERT_TRUE(WaitHidden(dialog));
    EXPECT_TRUE(FindVisible(form, "Static", proposed.c_str()));

    // A typed path and "OK": the new destination, where the files then go.
    const std::string typed = folder_ / "Chosen Place";
    ASSERT_EQ(OpenDialog(setup, w), dialog);
    w.Type(edit, typed);
    PostMessageA(FindVisible(dialog, "Button", "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitHidden(dialog));
    EXPECT_TRUE(WaitFor([&] { return FindVisible(form, "Static", typed.c_str()) != nullptr; }, 5000));
    w.Click(w.Forward());
    ASSERT_TRUE(w.WaitForPage("Select Program Folder"));
    w.Click(w.Forward());
    ASSERT_TRUE(w.WaitForPage("Setup Complete", 30000));
    EXPECT_FALSE(fs::DirectoryExists(proposed));
    EXPECT_TRUE(fs::FileExists(typed + "\\ReadMe.txt"));
    Close(form);
    EXPECT_TRUE(setup.Ends(0));  // installed: a close on the completion page ends as Forward does
}

}  // namespace
}  // namespace zub::e2e
