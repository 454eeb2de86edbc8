#include "dialogs/dir_tree.h"

#include "dialogs/dir_tree_internal.h"

namespace zub {
using namespace dirtree;

// --- deleting ---------------------------------------------------------------

void TDirTree::MarkDying(TDirNode& node) {
    std::vector<TDirNode*> stack{&node};
    while (!stack.empty()) {
        TDirNode* n = stack.back();
        stack.pop_back();
        n->dying_ = true;
        for (auto& child : n->children_) stack.push_back(child.get());
    }
}

void TDirTree::ReleaseSubtree(TDirNode& node) {
    for (auto& child : node.children_) ReleaseSubtree(*child);
    node.data_.reset();
    if (OnDeleteItem) OnDeleteItem(*this, node);
}

void TDirTree::DeleteNodeTree(TDirNode& node) {
    MarkDying(node);
    if (selected_ && selected_->dying_) selected_ = nullptr;
    ++deleting_;
    view_.DeleteNode(node);
    --deleting_;
    // Children are deleted from the back: look for the node from there.
    auto& siblings = node.parent_->children_;
    auto it = std::find_if(siblings.rbegin(), siblings.rend(),
                           [&](const std::unique_ptr<TDirNode>& p) { return p.get() == &node; });
    std::unique_ptr<TDirNode> owned = std::move(*it);
    siblings.erase(std::next(it).base());
    ReleaseSubtree(*owned);
    owned.reset();
    if (deleting_ == 0 && selectionMoved_) {
        selectionMoved_ = false;
        Change(selected_);
    }
}

void TDirTree::DeleteChildren(TDirNode& node) {
    while (!node.children_.empty()) DeleteNodeTree(*node.children_.back());
}

void TDirTree::DeleteAllNodes() {
    --changeLock_;
    bool window = view_.HasWindow();
    if (window) view_.BeginUpdate();
    for (auto& item : root_.children_) MarkDying(*item);
    selected_ = nullptr;
    ++deleting_;
    if (window) view_.DeleteAllNodes();
    --deleting_;
    selectionMoved_ = false;
    std::vector<std::unique_ptr<TDirNode>> items = std::move(root_.children_);
    root_.children_.clear();
    for (auto& item : items) ReleaseSubtree(*item);
    items.clear();
    changeLock_ = std::min(changeLock_ + 1, 0);
    if (changeLock_ == 0) Change(selected_);
    if (window) view_.EndUpdate();
}

// --- share overlays ---------------------------------------------------------

int TDirTree::ShareOverlayIndex(TDirNode& node) {
    DirNodeData* data = node.data_.get();
    if (!data) return -1;
    std::shared_ptr<TShellFolder> folder;
    std::string name;
    if (!node.Parent()) {
        if (!drivesFolderAsked_) {
            drivesFolderAsked_ = true;
            drivesFolder_ = machine_.DrivesFolder();
        }
        folder = drivesFolder_;
        name = data->Path;
    } else {
        DirNodeData* parentData = node.Parent()->data_.get();
        if (parentData) folder = parentData->ShellFolder;
        name = LastComponent(data->Path);
    }
    if (!folder) return -1;
    data->ItemIdList = folder->ParseName(name);
    if (!data->ItemIdList) return -1;
    data->ShellFolder = folder->BindToFolder(*data->ItemIdList);
    uint32_t attributes = 0;
    if (!data->ShellFolder || !folder->Attributes(*data->ItemIdList, kShellAttrShare, attributes)) return -1;
    return (attributes & kShellAttrShare) ? 0 : -1;
}

void TDirTree::SetOverlays(TDirNode& parent, bool on) {
    for (auto& child : parent.children_) {
        TDirNode& node = *child;
        if (!node.data_) continue;
        if (on) {
            node.OverlayIndex = ShareOverlayIndex(node);
        } else {
            node.OverlayIndex = -1;
            node.data_->ShellFolder.reset();
            node.data_->ItemIdList.reset();
        }
        view_.UpdateNode(node);
        if (!on || node.data_->Scanned) SetOverlays(node, on);
    }
}

}  // namespace zub
