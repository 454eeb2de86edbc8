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

#include "archive/payload_builder.h"
#include "base/file.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/wizard_driver_win.h"
#include "formats/log_book.h"
#include "tests/win32/registry_test_util.h"
#include "tests/win32/skin_test_util_win.h"

namespace zub::e2e {
namespace {

std::string g_stub;

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
    void SetUp() override {
        root_ = GetTempDir() + "zubbrowse" + std::to_string(GetCurrentProcessId());
        DeleteFolderTree(root_);
        project_ = root_ + "\\project";
        ASSERT_TRUE(fs::ForceDirectories(root_ + "\\tmp"));
        ASSERT_TRUE(fs::ForceDirectories(project_ + "\\Graphics"));
    }
    void TearDown() override {
        DeleteFolderTree(root_);
        // An installation's entry would propose its folder to the next test.
        test::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + "Demo App");
    }

    static void WriteFile(const std::string& path, const std::string& text) {
        fs::File file = fs::File::Create(path);
        file.Write(text.data(), text.size());
    }

    // An English setup without licence that installs ReadMe.txt.
    std::string MakeSetup(const std::string& destination) {
        std::string ini =
            "[browse test]\r\nObject=Setup\r\nRazederodezTitle=Demo App\r\nLanguage=English\r\nLicence=\r\n"
            "ReadMe=ReadMe.txt\r\nDestination=" + destination +
            "\r\nFolder=Demo App\r\nLaunchProg=0\r\nDesktopIcon=0\r\nTextBoxColor=16447220\r\n"
            "Fontname=MS Sans Serif\r\nFontheight=-11\r\nAddfile=ReadMe.txt\r\nend\r\n"
            "Object=Toolweb\r\nTop=16\r\nLeft=104\r\nWidth=393\r\nHeight=305\r\nend\r\n"
            "Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n";
        const char* actions[] = {"Back", "Forward", "Cancel"};
        const int lefts[] = {192, 280, 360};
        for (int i = 0; i < 3; ++i) {
            const std::string b = std::string("Graphics\\") + actions[i];
            ini += std::string("Object=Button\r\nName=b\r\nAction=") + actions[i] + "\r\nTop=368\r\nLeft=" +
                   std::to_string(lefts[i]) + "\r\nMask=" + b + "_n.bmp\r\nTouched=" + b + "_o.bmp\r\nPressed=" + b +
                   "_p.bmp\r\nDisabled=" + b + "_d.bmp\r\nInvisibleColor=16711935\r\nend\r\n";
            const char* states[] = {"_n", "_o", "_p", "_d"};
            for (const char* state : states)
                test::WriteBmp(project_ + "\\" + b + state + ".bmp", test::Solid(73, 57, 0x3070C0));
        }
        WriteFile(project_ + "\\Setup.ini", ini);
        test::WriteBmp(project_ + "\\Graphics\\panel.bmp", test::Solid(520, 440, 0x203050));
        WriteFile(project_ + "\\ReadMe.txt", "read me");
        const std::string payload = root_ + "\\payload.x";
        BuildPayload(project_, payload);
        const std::string exe = root_ + "\\BrowseSetup.exe";
        MakeSetupFromStub(g_stub, exe, fs::ReadWholeFile(payload));
        return exe;
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

    std::string root_, project_;
};

TEST_F(Browse, TheDialogChoosesTheDestination) {
    const std::string name = "Browse Demo " + std::to_string(GetCurrentProcessId());
    const std::string proposed = GetProgramFilesDir() + name;
    TSetupProcess setup(MakeSetup(name), root_ + "\\tmp\\");
    HWND form = setup.WaitForWindow("TSetupForm");
    ASSERT_TRUE(form);
    TWizard w(setup, form);
    ASSERT_TRUE(w.WaitForPage("Welcome to the Setup Wizard for Demo App"));
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
    EXPECT_EQ(LongText(edit), proposed);
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
    EXPECT_TRUE(WaitFor([&] { return LongText(edit) == childPath; }, 5000)) << LongText(edit);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitHidden(dialog));
    EXPECT_TRUE(FindVisible(form, "Static", proposed.c_str()));

    // A typed path and "OK": the new destination, where the files then go.
    const std::string typed = root_ + "\\Chosen Place";
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
    PostMessageA(form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    DeleteFolderTree(GetProgramsFolder(nullptr) + "\\Demo App");
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: browse_e2e_tests SETUP.EXE [gtest options]\n");
        return 2;
    }
    zub::e2e::g_stub = zub::e2e::WindowsPathOf(argv[1]);
    return RUN_ALL_TESTS();
}
