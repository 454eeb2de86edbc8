#include "dialogs/dir_tree_win.h"

#include <shellapi.h>

#include <unordered_map>
#include <vector>

#include "base/error.h"
#include "ui/application_win.h"

namespace zub {
namespace {

// The owner window's properties: the tree whose hook is in front of the
// owner's procedure, and the procedure the hook passes messages on to.
const char kHookProperty[] = "ZubDirTreeHook";
const char kPreviousProperty[] = "ZubDirTreePrevious";

// The item of a node. Its images are asked for when it is first drawn
// (TVN_GETDISPINFO); its overlay: 0 is the list's first overlay image, the
// shared-folder hand of the system list, -1 none.
void FillItem(TVITEMA& item, TDirNode& node) {
    item.mask |= TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    item.pszText = const_cast<char*>(node.Text.c_str());
    item.iImage = node.IsPlaceholder() ? 0 : I_IMAGECALLBACK;
    item.iSelectedImage = node.IsPlaceholder() ? 0 : I_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(&node);
    item.stateMask = TVIS_OVERLAYMASK;
    item.state = node.OverlayIndex >= 0 ? INDEXTOOVERLAYMASK(node.OverlayIndex + 1) : 0;
}

}  // namespace

TDirTreeWindow::TDirTreeWindow(TComponent* owner, TWinControl* parent) : TTreeView(owner, parent) {
    // Captions can be edited in place; only the caption changes.
    SetWindowLongA(Handle(), GWL_STYLE, GetWindowLongA(Handle(), GWL_STYLE) | TVS_EDITLABELS);
    TDirTreeView& view = *this;
    tree_ = std::make_unique<TDirTree>(machine_, view);
    InstallOwnerHook();
    tree_->WindowCreated();
}

TDirTreeWindow::~TDirTreeWindow() {
    tree_.reset();  // its nodes go while the window still shows them
    RemoveOwnerHook();
    if (HandleAllocated()) SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
}

TDirNode* TDirTreeWindow::NodeOf(TTreeNode item) const {
    if (!item) return nullptr;
    TVITEMA data{};
    data.mask = TVIF_HANDLE | TVIF_PARAM;
    data.hItem = item;
    if (!SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
    return reinterpret_cast<TDirNode*>(data.lParam);
}

// --- what the logic does to the window ----------------------------------------

void TDirTreeWindow::InsertNode(TDirNode& node, TDirNode* parent, TDirNode* after) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? ItemOf(*parent) : TVI_ROOT;
    insert.hInsertAfter = after ? ItemOf(*after) : TVI_FIRST;
    FillItem(insert.item, node);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item) throw Error("Failed to create tree item");
    node.ViewItem = item;
}

void TDirTreeWindow::UpdateNode(TDirNode& node) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE;
    item.hItem = ItemOf(node);
    FillItem(item, node);
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TDirTreeWindow::DeleteNode(TDirNode& node) { Delete(ItemOf(node)); }

void TDirTreeWindow::DeleteAllNodes() { Clear(); }

void TDirTreeWindow::CollapseNode(TDirNode& node) {
    // Closed and never opened: the next opening asks for the children again.
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = ItemOf(node);
    item.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    item.state = 0;
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TDirTreeWindow::SortChildren(TDirNode* parent) {
    // The logic has put the children in order already: sort by that order.
    const auto& children = parent ? parent->Children() : tree_->Items();
    std::unordered_map<const TDirNode*, size_t> order;
    for (size_t i = 0; i < children.size(); ++i) order.emplace(children[i].get(), i);
    TVSORTCB sort{};
    sort.hParent = parent ? ItemOf(*parent) : TVI_ROOT;
    sort.lParam = reinterpret_cast<LPARAM>(&order);
    sort.lpfnCompare = &CompareByOrder;
    SendMessageA(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

int CALLBACK TDirTreeWindow::CompareByOrder(LPARAM a, LPARAM b, LPARAM order) {
    auto& positions = *reinterpret_cast<std::unordered_map<const TDirNode*, size_t>*>(order);
    size_t pa = positions[reinterpret_cast<const TDirNode*>(a)];
    size_t pb = positions[reinterpret_cast<const TDirNode*>(b)];
    return pa < pb ? -1 : pa > pb ? 1 : 0;
}

void TDirTreeWindow::SelectNode(TDirNode* node) { Select(node ? ItemOf(*node) : nullptr); }

void TDirTreeWindow::MakeVisible(TDirNode& node) { TTreeView::MakeVisible(ItemOf(node)); }

void TDirTreeWindow::ExpandNode(TDirNode& node) { Expand(ItemOf(node)); }

void TDirTreeWindow::EndUpdate() {
    TTreeView::EndUpdate();
    UpdateWindow(Handle());  // repainted at once
}

void TDirTreeWindow::BeginWait() {
    if (waitCount_++ == 0) savedCursor_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void TDirTreeWindow::EndWait() {
    if (waitCount_ > 0 && --waitCount_ == 0) SetCursor(savedCursor_);
}

// Only a tree on screen has anything to paint. One that loads before its
// dialog shows (made at the program's start) would meanwhile hand the other
// windows the input waiting for them, before the program has all it needs.
void TDirTreeWindow::ProcessMessages() {
    if (Showing()) zub::ProcessMessages();
}

void TDirTreeWindow::SetAcceptDrops(bool accept) { DragAcceptFiles(Handle(), accept); }

// --- what the window reports to the logic -------------------------------------

// While the tree goes (tree_ is empty then) the window may still report the
// deletion of its items; those reports are not passed on.
void TDirTreeWindow::Change(TTreeNode item) {
    if (tree_) tree_->ViewSelected(NodeOf(item));
    TTreeView::Change(item);
}

bool TDirTreeWindow::CanExpand(TTreeNode item) {
    TDirNode* node = tree_ ? NodeOf(item) : nullptr;
    if (node && !tree_->CanExpand(*node)) return false;
    return TTreeView::CanExpand(item);
}

void TDirTreeWindow::Click() {
    if (tree_) tree_->Click();
}

LRESULT TDirTreeWindow::Notify(NMHDR& header, bool& handled) {
    if (!tree_) return TTreeView::Notify(header, handled);
    if (header.code == TVN_BEGINLABELEDITA || header.code == TVN_BEGINLABELEDITW) {
        TDirNode* node = NodeOf(reinterpret_cast<NMTVDISPINFOA&>(header).item.hItem);
        return !node || node->IsPlaceholder();  // TRUE refuses the edit
    }
    if (header.code == TVN_GETDISPINFOA || header.code == TVN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTVDISPINFOA&>(header);
        auto* node = reinterpret_cast<TDirNode*>(info.item.lParam);
        if (node && (info.item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE))) {
            tree_->EnsureIcons(*node);
            info.item.iImage = node->ImageIndex;
            info.item.iSelectedImage = node->SelectedIndex;
            info.item.mask |= TVIF_DI_SETITEM;  // kept by the tree view from now on
        }
        return 0;
    }
    if (header.code == TVN_ENDLABELEDITA) {
        // Only the caption changes: the node keeps its path, the disk is not touched.
        auto& info = reinterpret_cast<NMTVDISPINFOA&>(header);
        TDirNode* node = NodeOf(info.item.hItem);
        if (!node || !info.item.pszText) return FALSE;
        node->Text = info.item.pszText;
        return TRUE;
    }
    return TTreeView::Notify(header, handled);
}

LRESULT TDirTreeWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && !imagesAttached_) {
        // The system's small-icon list, shared by every program (the tree view
        // never destroys an image list; this one is taken away before the
        // window goes). Asking for it wakes the shell's icon cache, which is
        // left until the tree is first drawn rather than paid at start.
        imagesAttached_ = true;
        SetImageList(SystemSmallImageList());
    }
    if (message == WM_DROPFILES) {
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return TTreeView::WndProc(message, wParam, lParam);
}

void TDirTreeWindow::DropFiles(HDROP drop) {
    POINT point{};
    DragQueryPoint(drop, &point);
    TTreeNode target = NodeAt(point.x, point.y);
    std::vector<std::string> files;
    if (target && tree_->AcceptDropFiles()) {
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char name[MAX_PATH + 1] = {};
            DragQueryFileA(drop, i, name, sizeof name);
            files.push_back(name);
        }
    }
    DragFinish(drop);  // the drop's memory is freed whatever happens to it
    if (!target || !tree_->AcceptDropFiles()) return;
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0) shift.Include(TShiftKey::ssShift);
    if (GetKeyState(VK_CONTROL) < 0) shift.Include(TShiftKey::ssCtrl);
    if (GetKeyState(VK_MENU) < 0) shift.Include(TShiftKey::ssAlt);
    SetDropTarget(target);
    tree_->FilesDropped(NodeOf(target), point.x, point.y, std::move(files), shift);
    SetDropTarget(nullptr);
}

// --- the owner window's hook ----------------------------------------------------

void TDirTreeWindow::InstallOwnerHook() {
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    if (!owner || !owner->HandleAllocated()) return;
    ownerWindow_ = owner->Handle();
    auto previous = GetWindowLongPtrA(ownerWindow_, GWLP_WNDPROC);
    SetPropA(ownerWindow_, kPreviousProperty, reinterpret_cast<HANDLE>(previous));
    SetPropA(ownerWindow_, kHookProperty, this);
    SetWindowLongPtrA(ownerWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerHookProc));
}

void TDirTreeWindow::RemoveOwnerHook() {
    if (!ownerWindow_) return;
    if (IsWindow(ownerWindow_)) {
        RemovePropA(ownerWindow_, kHookProperty);
        // Put the previous procedure back unless another hook came in front
        // since; then this one stays in the chain and passes everything on.
        if (GetWindowLongPtrA(ownerWindow_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&OwnerHookProc)) {
            auto previous = reinterpret_cast<LONG_PTR>(RemovePropA(ownerWindow_, kPreviousProperty));
            SetWindowLongPtrA(ownerWindow_, GWLP_WNDPROC, previous);
        }
    }
    ownerWindow_ = nullptr;
}

LRESULT CALLBACK TDirTreeWindow::OwnerHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TDirTreeWindow*>(GetPropA(window, kHookProperty));
    if (self && message == WM_DEVICECHANGE) {
        try {
            self->tree_->DeviceChange();
        } catch (const std::exception& e) {
            ShowException(window, e.what());
        }
        return 0;
    }
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProperty));
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kHookProperty);
        RemovePropA(window, kPreviousProperty);
        if (self) self->ownerWindow_ = nullptr;
    }
    return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                    : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zub
