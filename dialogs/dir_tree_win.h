// The directory tree as a window: the framework's tree view showing the
// nodes of a TDirTree, with the system's small icons, lazy reading on
// opening, in-place caption editing, dropped files, and a hook in front of
// the owner window's procedure that follows drives coming and going.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "dialogs/dir_machine_win.h"
#include "dialogs/dir_tree.h"
#include "ui/tree_view_win.h"

namespace zub {

class TDirTreeWindow : public TTreeView, private TDirTreeView {
public:
    // A tree on `parent`; its owner, when it is a window (a form), gets the
    // device-change hook. Set the tree's settings, then call Loaded.
    TDirTreeWindow(TComponent* owner, TWinControl* parent);
    ~TDirTreeWindow() override;

    TDirTree& Tree() { return *tree_; }
    // The settings are in place: read the drives and select the initial folder.
    void Loaded() { tree_->Loaded(); }

    // The tree item of a node, and the node of an item.
    static TTreeNode ItemOf(const TDirNode& node) { return static_cast<TTreeNode>(node.ViewItem); }
    TDirNode* NodeOf(TTreeNode item) const;

protected:
    void Change(TTreeNode item) override;
    bool CanExpand(TTreeNode item) override;
    void Click() override;
    LRESULT Notify(NMHDR& header, bool& handled) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // TDirTreeView
    bool HasWindow() const override { return HandleAllocated(); }
    void HandleNeeded() override {}
    void InsertNode(TDirNode& node, TDirNode* parent, TDirNode* after) override;
    void UpdateNode(TDirNode& node) override;
    void DeleteNode(TDirNode& node) override;
    void DeleteAllNodes() override;
    void CollapseNode(TDirNode& node) override;
    void SortChildren(TDirNode* parent) override;
    void SelectNode(TDirNode* node) override;
    void MakeVisible(TDirNode& node) override;
    void ExpandNode(TDirNode& node) override;
    void BeginUpdate() override { TTreeView::BeginUpdate(); }
    void EndUpdate() override;
    void BeginWait() override;
    void EndWait() override;
    void ProcessMessages() override;
    void SetAcceptDrops(bool accept) override;

    void InstallOwnerHook();
    void RemoveOwnerHook();
    static int CALLBACK CompareByOrder(LPARAM a, LPARAM b, LPARAM order);
    static LRESULT CALLBACK OwnerHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DropFiles(HDROP drop);

    TWin32DirMachine machine_;
    std::unique_ptr<TDirTree> tree_;
    HWND ownerWindow_ = nullptr;
    WNDPROC ownerProc_ = nullptr;
    bool imagesAttached_ = false;
    int waitCount_ = 0;
    HCURSOR savedCursor_ = nullptr;
};

}  // namespace zub
