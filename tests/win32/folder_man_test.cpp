// The folder dialog and the directory tree window under Wine: the form as
// built, Execute's round trips, clicks on the tree, the new-folder button,
// caption editing, the owner hook for device changes.
#include "dialogs/folder_man_win.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "shell/shell_win.h"
#include "pump_util_win.h"
#include "shell/temp_folder.h"
#include "tests/win32/mapped_drive_win.h"
#include "ui/application_win.h"

namespace zub {
namespace {

using test::TScript;

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A mouse click on the middle of a tree item's text, as the user makes it.
void ClickItem(TDirTreeWindow& tree, TDirNode& node) {
    RECT rect{};
    HTREEITEM item = TDirTreeWindow::ItemOf(node);
    SendMessageA(tree.Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    std::memcpy(&rect, &item, sizeof item);  // the message takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(tree.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageA(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(tree.Handle(), WM_LBUTTONUP, 0, point);
}

void PressKey(HWND window, WPARAM key) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
}

class FolderManTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::ForceDirectories(base_ + "Apps\\Tools"));
        ASSERT_TRUE(fs::ForceDirectories(base_ + "Apps\\OnlyFiles"));
        fs::File::Create(base_ + "Apps\\OnlyFiles\\file.txt").Close();
        man_ = std::make_unique<TFolderMan>(nullptr);
    }
    void TearDown() override {
        man_.reset();
    }
    TDirTree& Tree() { return man_->DirTree->Tree(); }
    HWND TreeWindow() { return man_->DirTree->Handle(); }
    // Runs Execute with the steps, then the last step's closing of the dialog.
    bool Execute(std::vector<std::function<void()>> steps) {
        TScript script(std::move(steps));
        bool result = man_->Execute();
        EXPECT_TRUE(script.Done());
        return result;
    }
    std::function<void()> Press(TButton* button) {
        return [button] { PostMessageA(button->Handle(), BM_CLICK, 0, 0); };
    }

    std::unique_ptr<TFolderMan> man_;
    const TTempFolder temp_{"FolderManTest."};
    const std::string base_ = temp_.Path();
};

TEST_F(FolderManTest, TheFormAsBuilt) {
    HWND form = man_->Handle();
    char className[64] = {};
    GetClassNameA(form, className, sizeof className);
    EXPECT_STREQ(className, "TFolderMan");
    EXPECT_EQ(WindowText(form), "Choose Folder");
    EXPECT_FALSE(IsWindowVisible(form));
    RECT outer{};
    GetWindowRect(form, &outer);
    EXPECT_EQ(outer.right - outer.left, 316);
    EXPECT_EQ(outer.bottom - outer.top, 358);
    EXPECT_TRUE(GetWindowLongA(form, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_EQ(man_->Color(), 14737632);
    EXPECT_EQ(man_->Font().Name, "MS Sans Serif");
    EXPECT_EQ(man_->Font().Height, -11);
    EXPECT_EQ(man_->DefaultButton, nullptr);
    EXPECT_EQ(man_->CancelButton, nullptr);

    struct {
        TWinControl* control;
        const char* text;
        TBounds bounds;
        bool visible;
    } controls[] = {
        {man_->Panel1, "", {13, 14, 281, 263}, true},
        {man_->Head, "Bitte Installationsverzeichnis w\xE4hlen", {0, 0, 281, 22}, true},
        {man_->PathLabel, "Pfad:", {0, 22, 281, 13}, true},
        {man_->Panel2, "", {0, 35, 281, 24}, true},
        {man_->PathEdit, "", {0, 0, 281, 21}, true},
        {man_->DirLabel, "Ordner:", {0, 59, 281, 13}, true},
        {man_->DirTree, "", {0, 72, 281, 191}, true},
        {man_->OKBut, "OK", {140, 288, 75, 24}, true},
        {man_->CancelBut, "Abbrechen", {220, 288, 75, 24}, true},
        {man_->NewBut, "Neues Verzeichnis", {6, 288, 75, 24}, false},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(WindowText(c.control->Handle()), c.text);
        EXPECT_EQ(c.control->Bounds(), c.bounds) << c.text << " " << c.control->Bounds().Left << ","
                                                 << c.control->Bounds().Top << " " << c.control->Bounds().Width
                                                 << "x" << c.control->Bounds().Height;
        EXPECT_EQ(c.control->Visible(), c.visible) << c.text;
    }
    EXPECT_EQ(man_->OKBut->ModalResult, mrOk);
    EXPECT_EQ(man_->CancelBut->ModalResult, mrCancel);

    // Made hidden at start: the drives are read and the current directory selected.
    char current[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof current, current);
    std::string expected = current;
    if (expected.back() != '\\') expected += "\\";
    EXPECT_EQ(lstrcmpiA(Tree().SelectedPath().c_str(), expected.c_str()), 0) << Tree().SelectedPath();
    EXPECT_EQ(Tree().DriveTypes(), (TDriveTypes{TDriveType::drtUnknown, TDriveType::drtFixed, TDriveType::drtRemote}));
    EXPECT_TRUE(Tree().GoBelowRecycleBin());
    // The shell's icons come when the tree is first drawn.
    EXPECT_EQ(SendMessageA(TreeWindow(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    man_->Show();
    UpdateWindow(man_->Handle());
    test::Pump();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(TreeWindow(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
              SystemSmallImageList());
    EXPECT_GE(Tree().Selected()->ImageIndex, 0);
    man_->Hide();
}

TEST_F(FolderManTest, AProposedDestinationOpensTheProgramFilesFolder) {
    std::string proposed = GetProgramFilesDir() + "My Application";
    man_->FolderPath = proposed;
    bool ok = Execute({[&] {
                           EXPECT_TRUE(IsWindowVisible(man_->Handle()));
                           EXPECT_EQ(man_->PathEdit->Text(), proposed);
                           EXPECT_EQ(Tree().SelectedPath(), GetProgramFilesDir());
                           TDirNode* selected = Tree().Selected();
                           EXPECT_TRUE(SendMessageA(TreeWindow(), TVM_GETITEMSTATE,
                                                    reinterpret_cast<WPARAM>(TDirTreeWindow::ItemOf(*selected)),
                                                    TVIS_EXPANDED) &
                                       TVIS_EXPANDED);
                       },
                       Press(man_->OKBut)});
    EXPECT_TRUE(ok);
    EXPECT_EQ(man_->FolderPath, proposed);
}

TEST_F(FolderManTest, AnExistingDestinationIsSelectedNotOpened) {
    man_->FolderPath = base_ + "apps";
    bool ok = Execute({[&] {
                           EXPECT_EQ(Tree().SelectedPath(), base_ + "Apps\\");
                           EXPECT_FALSE(SendMessageA(TreeWindow(), TVM_GETITEMSTATE,
                                                     reinterpret_cast<WPARAM>(TDirTreeWindow::ItemOf(*Tree().Selected())),
                                                     TVIS_EXPANDED) &
                                        TVIS_EXPANDED);
                       },
                       Press(man_->CancelBut)});
    EXPECT_FALSE(ok);
}

TEST_F(FolderManTest, ClicksTypingAndTheButtons) {
    man_->FolderPath = base_ + "Apps";
    TDirNode* tools = nullptr;
    // Clicking a folder gives its path with a backslash; typing afterwards wins.
    bool ok = Execute({[&] {
                           Tree().Expand(*Tree().Selected());
                           tools = Tree().FindNode(base_ + "Apps\\Tools");
                           ASSERT_NE(tools, nullptr);
                           ClickItem(*man_->DirTree, *tools);
                       },
                       [&] {
                           EXPECT_EQ(man_->PathEdit->Text(), base_ + "Apps\\Tools\\");
                           EXPECT_EQ(man_->FolderPath, base_ + "Apps\\Tools\\");
                           man_->PathEdit->SetFocus();
                           PressKey(man_->PathEdit->Handle(), VK_RETURN);  // leaves the dialog open
                           PressKey(man_->PathEdit->Handle(), VK_ESCAPE);
                       },
                       [&] {
                           EXPECT_TRUE(IsWindowVisible(man_->Handle()));
                           SendMessageA(man_->PathEdit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("D:\\Typed"));
                       },
                       Press(man_->OKBut)});
    EXPECT_TRUE(ok);
    EXPECT_EQ(man_->FolderPath, "D:\\Typed");

    // Typing and then clicking: the click wins. The close box cancels.
    ok = Execute({[&] { SendMessageA(man_->PathEdit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed")); },
                  [&] { ClickItem(*man_->DirTree, *Tree().FindNode(base_ + "Apps\\Tools")); },
                  [&] { EXPECT_EQ(man_->FolderPath, base_ + "Apps\\Tools\\"); },
                  [&] { PostMessageA(man_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_FALSE(ok);

    // Clearing the path and "OK" hands back an empty path.
    ok = Execute({[&] { man_->PathEdit->SetText(""); }, Press(man_->OKBut)});
    EXPECT_TRUE(ok);
    EXPECT_EQ(man_->FolderPath, "");
}

TEST_F(FolderManTest, LazyReadingShowsExpandButtonsOnlyWhereFoldersAre) {
    Tree().SelectPath(base_ + "Apps");
    Tree().Expand(*Tree().Selected());
    HWND tree = TreeWindow();
    auto firstChild = [&](TDirNode* node) {
        return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(TDirTreeWindow::ItemOf(*node)));
    };
    ASSERT_NE(Tree().FindNode(base_ + "Apps\\OnlyFiles"), nullptr);
    EXPECT_EQ(firstChild(Tree().FindNode(base_ + "Apps\\OnlyFiles")), 0);
    EXPECT_EQ(firstChild(Tree().FindNode(base_ + "Apps\\Tools")), 0);
    ASSERT_TRUE(fs::ForceDirectories(base_ + "Apps\\Tools\\Deeper"));
    Tree().Reload();
    EXPECT_EQ(Tree().SelectedPath(), base_ + "Apps\\");
    Tree().Expand(*Tree().Selected());
    EXPECT_NE(firstChild(Tree().FindNode(base_ + "Apps\\Tools")), 0);  // a placeholder for the button
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0, true);
}

TEST_F(FolderManTest, NewFolderNamesCountFromTwo) {
    ASSERT_TRUE(fs::ForceDirectories(base_ + "Apps\\New Folder"));
    man_->FolderPath = base_ + "Apps\\";
    Tree().SelectPath(man_->FolderPath);
    man_->PathEdit->SetText("shown");
    man_->FolderPath = base_ + "Apps\\";
    man_->NewButClick();
    EXPECT_EQ(man_->FolderPath, base_ + "Apps\\New Folder 2");
    EXPECT_TRUE(fs::DirectoryExists(man_->FolderPath));
    EXPECT_EQ(Tree().SelectedPath(), base_ + "Apps\\New Folder 2\\");
    EXPECT_EQ(man_->PathEdit->Text(), "shown");
    man_->FolderPath = base_ + "Apps\\";
    man_->NewButClick();
    EXPECT_EQ(man_->FolderPath, base_ + "Apps\\New Folder 3");

    // A folder that cannot be made: the platform's error, and nothing else changes.
    man_->FolderPath = base_ + "Missing\\";
    CreateDirectoryA((man_->FolderPath + "New Folder").c_str(), nullptr);
    std::string expected = IoError(static_cast<int>(GetLastError())).what();
    try {
        man_->NewButClick();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), expected);
    }
    EXPECT_EQ(man_->FolderPath, base_ + "Missing\\");
    EXPECT_EQ(Tree().SelectedPath(), base_ + "Apps\\New Folder 3\\");
}

TEST_F(FolderManTest, EditingACaptionKeepsThePath) {
    Tree().SelectPath(base_ + "Apps\\Tools");
    HWND tree = TreeWindow();
    man_->Show();
    SetFocus(tree);
    HWND edit = reinterpret_cast<HWND>(
        SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(TDirTreeWindow::ItemOf(*Tree().Selected()))));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Renamed");
    SendMessageA(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    test::Pump();
    EXPECT_EQ(Tree().Selected()->Text, "Renamed");
    EXPECT_EQ(Tree().SelectedPath(), base_ + "Apps\\Tools\\");
    EXPECT_TRUE(fs::DirectoryExists(base_ + "Apps\\Tools"));
    man_->Hide();
}

TEST_F(FolderManTest, DeviceChangeOnTheOwnerAddsAndRemovesDrives) {
    test::TMappedDrive drive(base_ + "Apps");
    ASSERT_NE(drive.Letter(), 0);
    const std::string device = drive.Device();
    SendMessageA(man_->Handle(), WM_DEVICECHANGE, 0x8000 /* DBT_DEVICEARRIVAL */, 0);
    TDirNode* node = Tree().FindNode(device + "\\");
    EXPECT_NE(node, nullptr);
    if (node) {
        // In letter order among the other drives.
        HTREEITEM next = reinterpret_cast<HTREEITEM>(SendMessageA(
            TreeWindow(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(TDirTreeWindow::ItemOf(*node))));
        ASSERT_NE(next, nullptr);
        EXPECT_GT(man_->DirTree->NodeOf(next)->Data()->Path[0], drive.Letter());
    }
    drive.Remove();
    SendMessageA(man_->Handle(), WM_DEVICECHANGE, 0x8004 /* DBT_DEVICEREMOVECOMPLETE */, 0);
    EXPECT_EQ(Tree().FindNode(device + "\\"), nullptr);
}

TEST(DirTreeWindow, OwnerHookComesAndGoesWithTheTree) {
    TForm form(nullptr, "TDirTreeHookForm", "Hook", TFormBorderStyle::bsSizeable, 300, 300);
    LONG_PTR before = GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC);
    HIMAGELIST images = SystemSmallImageList();
    int imageCount = ImageList_GetImageCount(images);
    {
        TDirTreeWindow tree(&form, &form);
        tree.Loaded();
        EXPECT_NE(GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC), before);
        EXPECT_FALSE(tree.Tree().Items().empty());
        // Other messages still reach the form.
        SetWindowTextA(form.Handle(), "Still the form");
        EXPECT_EQ(form.Text(), "Still the form");
    }
    EXPECT_EQ(GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC), before);
    EXPECT_GE(ImageList_GetImageCount(images), imageCount);  // the shared list lives on
    EXPECT_GT(ImageList_GetImageCount(images), 0);
}

}  // namespace
}  // namespace zub

