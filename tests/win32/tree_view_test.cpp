// The tree view under Wine: items with texts, images and data, children
// loaded when an item opens, selection, click and deletion events.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pump_util_win.h"
#include "ui/controls_win.h"
#include "ui/tree_view_win.h"

namespace zub {
namespace {

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm>(nullptr, "TTreeTestForm", "Tree", TFormBorderStyle::bsSizeable, 316, 358);
        tree_ = &form_->Own<TTreeView>(form_.get());
        tree_->SetBounds(10, 10, 280, 280);
        tree_->OnDeletion = [this](TTreeNode node) { deleted_.push_back(tree_->NodeText(node)); };
        form_->Show();
        test::Pump();
    }

    // Clicks an item the way the mouse does (the tree waits for the release).
    void ClickOn(TTreeNode node) {
        RECT r{};
        *reinterpret_cast<HTREEITEM*>(&r) = node;
        SendMessageA(tree_->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(tree_->Handle(), WM_LBUTTONUP, 0, at);
        SendMessageA(tree_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        test::Pump();
    }

    std::vector<std::string> Children(TTreeNode parent) {
        std::vector<std::string> names;
        for (TTreeNode n = parent ? tree_->FirstChild(parent) : tree_->FirstNode(); n; n = tree_->NextSibling(n))
            names.push_back(tree_->NodeText(n));
        return names;
    }

    std::unique_ptr<TForm> form_;
    TTreeView* tree_ = nullptr;
    std::vector<std::string> deleted_;
};

TEST_F(TreeViewTest, ItemsWithTextImagesDataAndOrder) {
    int record = 7;
    TTreeNode c = tree_->AddChild(nullptr, "SYSTEM (C:)", &record);
    TTreeNode e = tree_->AddChild(nullptr, "(E:)");
    TTreeNode d = tree_->InsertBefore(e, " (D:)");
    EXPECT_EQ(Children(nullptr), (std::vector<std::string>{"SYSTEM (C:)", " (D:)", "(E:)"}));
    TTreeNode apps = tree_->AddChild(c, "Programme f\xFCr alle");
    EXPECT_EQ(tree_->ParentNode(apps), c);
    EXPECT_EQ(tree_->ParentNode(c), nullptr);
    EXPECT_EQ(tree_->NodeText(apps), "Programme f\xFCr alle");
    EXPECT_EQ(tree_->NodeData(c), &record);
    EXPECT_EQ(tree_->NodeData(d), nullptr);
    tree_->SetImages(apps, 3, 4);
    EXPECT_EQ(tree_->ImageIndex(apps), 3);
    EXPECT_EQ(tree_->SelectedIndex(apps), 4);
    tree_->SetOverlay(apps, 1);
    EXPECT_EQ(tree_->Overlay(apps), 1);
    tree_->SetOverlay(apps, -1);
    EXPECT_EQ(tree_->Overlay(apps), 0);
    tree_->SetNodeText(d, "DATA (D:)");
    EXPECT_EQ(tree_->NodeText(d), "DATA (D:)");
    EXPECT_EQ(tree_->Count(), 4);

    tree_->AddChild(c, "beta");
    tree_->AddChild(c, "Alpha");
    tree_->SortChildren(c);
    EXPECT_EQ(Children(c), (std::vector<std::string>{"Alpha", "beta", "Programme f\xFCr alle"}));
}

TEST_F(TreeViewTest, ChildrenAreLoadedWhenAnItemOpens) {
    TTreeNode drive = tree_->AddChild(nullptr, "(C:)");
    tree_->SetHasChildren(drive, true);
    TTreeNode empty = tree_->AddChild(nullptr, "(F:)");
    tree_->SetHasChildren(empty, true);
    int asked = 0;
    tree_->OnExpanding = [&](TTreeNode node, bool& allow) {
        ++asked;
        if (node == drive && !tree_->FirstChild(drive)) {
            tree_->AddChild(drive, "Apps");
            tree_->AddChild(drive, "Windows");
        }
        allow = true;
    };
    EXPECT_TRUE(tree_->HasChildren(drive));
    EXPECT_EQ(tree_->FirstChild(drive), nullptr);
    tree_->Expand(drive);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(tree_->Expanded(drive));
    EXPECT_EQ(Children(drive), (std::vector<std::string>{"Apps", "Windows"}));

    // An item that finds nothing to show loses its expand button.
    tree_->Expand(empty);
    EXPECT_FALSE(tree_->HasChildren(empty));
    EXPECT_FALSE(tree_->Expanded(empty));
    // A child made later brings the button back.
    tree_->AddChild(empty, "New Folder");
    EXPECT_TRUE(tree_->HasChildren(empty));

    // Closed again and reopened by the program, it asks again.
    tree_->Collapse(drive);
    EXPECT_FALSE(tree_->Expanded(drive));
    tree_->Expand(drive);
    EXPECT_EQ(asked, 3);
}

TEST_F(TreeViewTest, TheUsersOpeningCanBeRefused) {
    TTreeNode drive = tree_->AddChild(nullptr, "(C:)");
    tree_->AddChild(drive, "Apps");
    bool allow = false;
    int asked = 0;
    tree_->OnExpanding = [&](TTreeNode, bool& allowExpansion) {
        ++asked;
        allowExpansion = allow;
    };
    tree_->Select(drive);
    SetFocus(tree_->Handle());
    SendMessageA(tree_->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(tree_->Expanded(drive));
    allow = true;
    SendMessageA(tree_->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(tree_->Expanded(drive));
}

TEST_F(TreeViewTest, SelectionAndClickEvents) {
    TTreeNode c = tree_->AddChild(nullptr, "(C:)");
    TTreeNode d = tree_->AddChild(nullptr, "(D:)");
    std::vector<TTreeNode> changes;
    std::vector<TTreeNode> selectedAtClick;
    tree_->OnChange = [&](TTreeNode node) { changes.push_back(node); };
    tree_->OnClick = [&] { selectedAtClick.push_back(tree_->Selected()); };
    EXPECT_EQ(tree_->Selected(), nullptr);
    tree_->Select(c);
    EXPECT_EQ(tree_->Selected(), c);
    EXPECT_EQ(changes, (std::vector<TTreeNode>{c}));
    EXPECT_TRUE(selectedAtClick.empty());  // the program's selection is no click

    ClickOn(d);
    EXPECT_EQ(tree_->Selected(), d);
    ASSERT_EQ(selectedAtClick.size(), 1u);
    EXPECT_EQ(selectedAtClick[0], d);  // the click comes after the selection moved
    EXPECT_EQ(changes.back(), d);
    RECT r{};
    *reinterpret_cast<HTREEITEM*>(&r) = d;
    SendMessageA(tree_->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(tree_->NodeAt(r.left + 2, r.top + 2), d);
    EXPECT_EQ(tree_->NodeAt(r.left + 2, 270), nullptr);
}

TEST_F(TreeViewTest, TextsCanBeEditedInPlaceUnlessReadOnly) {
    int record = 1;
    TTreeNode node = tree_->AddChild(nullptr, "Apps", &record);
    EXPECT_FALSE(tree_->ReadOnly());
    SetFocus(tree_->Handle());
    auto editor = reinterpret_cast<HWND>(SendMessageA(tree_->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node)));
    ASSERT_NE(editor, nullptr);
    SetWindowTextA(editor, "Programme");
    SendMessageA(tree_->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_EQ(tree_->NodeText(node), "Programme");
    EXPECT_EQ(tree_->NodeData(node), &record);  // only the text changed
    tree_->SetReadOnly(true);
    EXPECT_EQ(SendMessageA(tree_->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node)), 0);
}

TEST_F(TreeViewTest, DeletionReportsEveryItemOfASubtree) {
    TTreeNode c = tree_->AddChild(nullptr, "C");
    TTreeNode apps = tree_->AddChild(c, "Apps");
    tree_->AddChild(apps, "Tools");
    tree_->AddChild(nullptr, "D");
    tree_->DeleteChildren(c);
    EXPECT_EQ(deleted_.size(), 2u);
    EXPECT_EQ(tree_->FirstChild(c), nullptr);
    deleted_.clear();
    form_.reset();  // the tree goes with its form and reports what it still held
    EXPECT_EQ(deleted_.size(), 2u);
}

}  // namespace
}  // namespace zub
