// The directory tree on the real machine of the Wine prefix, with a view
// that mirrors the nodes (the window binding has its own tests).
#include <windows.h>

#include <gtest/gtest.h>

#include "base/file.h"
#include "dialogs/dir_machine_win.h"
#include "dialogs/dir_tree.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"
#include "tests/win32/mapped_drive_win.h"
#include "tests/unit/fake_dir_machine.h"

namespace zub {
namespace {

class DirTreeMachine : public ::testing::Test {
protected:
    void SetUp() override {
        errorMode_ = SetErrorMode(0);
        SetErrorMode(errorMode_);
        ASSERT_TRUE(fs::ForceDirectories(base_ + "MixedCase\\Sub"));
        ASSERT_TRUE(fs::ForceDirectories(base_ + "HiddenOne"));
        SetFileAttributesA((base_ + "HiddenOne").c_str(), FILE_ATTRIBUTE_HIDDEN);
        ASSERT_TRUE(fs::ForceDirectories(base_ + "OnlyFiles"));
        fs::File::Create(base_ + "OnlyFiles\\file.txt").Close();
        view_.Window = false;
        tree_ = std::make_unique<TDirTree>(machine_, view_);
        view_.Tree = tree_.get();
        tree_->Loaded();
    }
    void TearDown() override {
        EXPECT_TRUE(view_.Mirrors());
        tree_.reset();
        EXPECT_EQ(SetErrorMode(errorMode_), errorMode_);  // the tree put the error mode back
    }
    TDirNode* Child(TDirNode* parent, const std::string& text) {
        for (const auto& child : parent->Children())
            if (child->Text == text) return child.get();
        return nullptr;
    }

    TWin32DirMachine machine_;
    testing::TFakeDirView view_;
    std::unique_ptr<TDirTree> tree_;
    const TTempFolder temp_{"DirTreeMachine."};
    const std::string base_ = temp_.Path();
    UINT errorMode_ = 0;
};

TEST_F(DirTreeMachine, ListsThePrefixDrivesWithTheirCaptions) {
    const auto& items = tree_->Items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items.front()->Data()->Path, "C:\\");
    EXPECT_EQ(items.back()->Data()->Path, "Z:\\");
    for (const auto& item : items) {
        std::string root = item->Data()->Path;
        char label[24] = {};
        DWORD serial = 0;
        int type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_REMOTE || type == DRIVE_REMOVABLE) continue;
        bool readable = GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, nullptr, nullptr, nullptr, 0);
        std::string letter(1, root[0]);
        EXPECT_EQ(item->Text, readable ? std::string(label) + " (" + letter + ":)" : "(" + letter + ":)");
        EXPECT_EQ(tree_->DriveSerial(root[0]), readable ? int64_t(serial) : -1);
        tree_->EnsureIcons(*item);
        EXPECT_GE(item->ImageIndex, 0) << root;
    }
    EXPECT_EQ(tree_->LoadedDrives(), GetLogicalDrives() & tree_->DriveMask());
    EXPECT_GE(tree_->ClosedFolderIcon(), 0);
    EXPECT_NE(SystemSmallImageList(), nullptr);
}

TEST_F(DirTreeMachine, SelectsAPathAndReturnsItWithTheStoredLetterCase) {
    std::string typed = machine_.LowerCase(base_ + "mixedcase\\SUB");
    tree_->SelectPath(typed);
    EXPECT_EQ(tree_->SelectedPath(), base_ + "MixedCase\\Sub\\");
    EXPECT_EQ(tree_->Selected()->Text, "Sub");
    EXPECT_EQ(tree_->DriveLastDir(base_[0]), machine_.UpperCase(base_ + "MixedCase\\Sub\\"));
}

TEST_F(DirTreeMachine, ListsHiddenFoldersAndProbesLazily) {
    tree_->SelectPath(base_);
    TDirNode* base = tree_->Selected();
    ASSERT_NE(base, nullptr);
    EXPECT_TRUE(base->Data()->Scanned);
    TDirNode* mixed = Child(base, "MixedCase");
    ASSERT_NE(mixed, nullptr);
    EXPECT_TRUE(mixed->Children().empty());  // not probed before its parent is opened
    tree_->Expand(*base);
    ASSERT_NE(Child(base, "HiddenOne"), nullptr);
    ASSERT_EQ(mixed->Children().size(), 1u);
    EXPECT_TRUE(mixed->FirstChild()->IsPlaceholder());
    EXPECT_TRUE(Child(base, "OnlyFiles")->Children().empty());
    EXPECT_FALSE(mixed->Data()->Scanned);

    tree_->SetDirTypes({TDirType::dtNormal});
    tree_->SelectPath(base_);
    EXPECT_EQ(Child(tree_->Selected(), "HiddenOne"), nullptr);
}

TEST_F(DirTreeMachine, ADriveMappingAddedAtRunTimeGetsItsNode) {
    test::TMappedDrive drive(base_ + "MixedCase");
    ASSERT_NE(drive.Letter(), 0) << GetLastError();
    const std::string device = drive.Device();
    const bool mapped = drive.Listed();
    if (mapped) {
        tree_->DeviceChange();
        EXPECT_NE(tree_->FindNode(device + "\\"), nullptr);
    }
    drive.Remove();
    if (!mapped) GTEST_SKIP() << "this Wine does not show DefineDosDevice drives in GetLogicalDrives";
    tree_->DeviceChange();
    EXPECT_EQ(tree_->FindNode(device + "\\"), nullptr);
}

}  // namespace
}  // namespace zub
