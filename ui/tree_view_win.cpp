#include "ui/tree_view_win.h"

#include "base/error.h"
#include "ui/application_win.h"

namespace zub {
namespace {

TTreeNode Next(HWND tree, TTreeNode node, UINT relation) {
    return reinterpret_cast<TTreeNode>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
}

bool IsCode(const NMHDR& header, UINT ansi, UINT wide) { return header.code == ansi || header.code == wide; }

}  // namespace

TTreeView::TTreeView(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    UseCommonControls();
    SetColor(clWindow);
    TCreateParams params;
    params.ClassName = WC_TREEVIEWA;
    params.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                   TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_EDITLABELS;
    params.ExStyle = WS_EX_CLIENTEDGE;
    params.OwnClass = false;
    CreateHandle(params);
}

TTreeView::~TTreeView() {
    // The items go while this is still a tree view, so that OnDeletion and
    // Deleted see each of them.
    if (HandleAllocated()) Clear();
}

TTreeNode TTreeView::AddChild(TTreeNode parent, const std::string& text, void* data) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    auto node = reinterpret_cast<TTreeNode>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) throw Error("Failed to create tree item");
    // A parent that lost its expand button (it had nothing to show) gets it back.
    if (parent) SetHasChildren(parent, true);
    return node;
}

TTreeNode TTreeView::InsertBefore(TTreeNode before, const std::string& text, void* data) {
    if (!before) return AddChild(nullptr, text, data);
    TVINSERTSTRUCTA insert{};
    insert.hParent = ParentNode(before);
    if (!insert.hParent) insert.hParent = TVI_ROOT;
    TTreeNode previous = PrevSibling(before);
    insert.hInsertAfter = previous ? previous : TVI_FIRST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    auto node = reinterpret_cast<TTreeNode>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) throw Error("Failed to create tree item");
    return node;
}

void TTreeView::Delete(TTreeNode node) {
    if (node) SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void TTreeView::DeleteChildren(TTreeNode node) {
    while (TTreeNode child = FirstChild(node)) Delete(child);
}

void TTreeView::Clear() { SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

int TTreeView::Count() const { return static_cast<int>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0)); }

TTreeNode TTreeView::FirstNode() const { return Next(Handle(), nullptr, TVGN_ROOT); }
TTreeNode TTreeView::NextSibling(TTreeNode node) const { return node ? Next(Handle(), node, TVGN_NEXT) : nullptr; }
TTreeNode TTreeView::PrevSibling(TTreeNode node) const { return node ? Next(Handle(), node, TVGN_PREVIOUS) : nullptr; }
TTreeNode TTreeView::FirstChild(TTreeNode node) const { return node ? Next(Handle(), node, TVGN_CHILD) : nullptr; }
TTreeNode TTreeView::ParentNode(TTreeNode node) const { return node ? Next(Handle(), node, TVGN_PARENT) : nullptr; }

TVITEMA TTreeView::GetItem(TTreeNode node, UINT mask) const {
    TVITEMA item{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = node;
    if (!node || !SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        throw Error("Invalid tree item");
    return item;
}

std::string TTreeView::NodeText(TTreeNode node) const {
    char buffer[1024] = {};
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    if (!node || !SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        throw Error("Invalid tree item");
    return item.pszText ? std::string(item.pszText) : std::string();
}

void TTreeView::SetNodeText(TTreeNode node, const std::string& text) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void* TTreeView::NodeData(TTreeNode node) const { return reinterpret_cast<void*>(GetItem(node, TVIF_PARAM).lParam); }

void TTreeView::SetNodeData(TTreeNode node, void* data) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = node;
    item.lParam = reinterpret_cast<LPARAM>(data);
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int TTreeView::ImageIndex(TTreeNode node) const { return GetItem(node, TVIF_IMAGE).iImage; }

int TTreeView::SelectedIndex(TTreeNode node) const { return GetItem(node, TVIF_SELECTEDIMAGE).iSelectedImage; }

void TTreeView::SetImages(TTreeNode node, int image, int selectedImage) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = node;
    item.iImage = image;
    item.iSelectedImage = selectedImage;
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeView::SetOverlay(TTreeNode node, int overlay) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = node;
    item.state = overlay > 0 ? INDEXTOOVERLAYMASK(overlay) : 0;
    item.stateMask = TVIS_OVERLAYMASK;
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int TTreeView::Overlay(TTreeNode node) const {
    const UINT state = static_cast<UINT>(
        SendMessageA(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_OVERLAYMASK));
    return static_cast<int>((state & TVIS_OVERLAYMASK) >> 8);
}

void TTreeView::SetHasChildren(TTreeNode node, bool value) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = node;
    item.cChildren = value ? 1 : 0;
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeView::HasChildren(TTreeNode node) const { return GetItem(node, TVIF_CHILDREN).cChildren != 0; }

TTreeNode TTreeView::Selected() const { return Next(Handle(), nullptr, TVGN_CARET); }

void TTreeView::Select(TTreeNode node) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void TTreeView::Expand(TTreeNode node) {
    if (!node || Expanded(node)) return;
    // The tree view asks its parent only the first time an item opens; the
    // program's opening asks every time, like the user's.
    if (!CanExpand(node)) return;
    if (!FirstChild(node)) {
        SetHasChildren(node, false);
        return;
    }
    expandAsked_ = true;
    SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    expandAsked_ = false;
}

void TTreeView::Collapse(TTreeNode node) {
    if (node) SendMessageA(Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

bool TTreeView::Expanded(TTreeNode node) const {
    const UINT state =
        static_cast<UINT>(SendMessageA(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED));
    return (state & TVIS_EXPANDED) != 0;
}

void TTreeView::MakeVisible(TTreeNode node) {
    if (node) SendMessageA(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
}

void TTreeView::SortChildren(TTreeNode node) {
    SendMessageA(Handle(), TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(node ? node : TVI_ROOT));
}

TTreeNode TTreeView::NodeAt(int x, int y) const {
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    auto node = reinterpret_cast<TTreeNode>(SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & TVHT_ONITEM) ? node : nullptr;
}

void TTreeView::SetDropTarget(TTreeNode node) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(node));
}

void TTreeView::SetImageList(HIMAGELIST images) {
    SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

HIMAGELIST TTreeView::ImageList() const {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
}

bool TTreeView::ReadOnly() const { return (GetWindowLongA(Handle(), GWL_STYLE) & TVS_EDITLABELS) == 0; }

void TTreeView::SetReadOnly(bool value) {
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    SetWindowLongA(Handle(), GWL_STYLE, value ? (style & ~TVS_EDITLABELS) : (style | TVS_EDITLABELS));
}

void TTreeView::BeginUpdate() {
    if (updateCount_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ != 0) return;
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TTreeView::Change(TTreeNode node) {
    if (OnChange) OnChange(node);
}

bool TTreeView::CanExpand(TTreeNode node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(node, allow);
    return allow;
}

void TTreeView::Click() {
    if (OnClick) OnClick();
}

void TTreeView::Deleted(TTreeNode node) {
    if (OnDeletion) OnDeletion(node);
}

LRESULT TTreeView::Notify(NMHDR& header, bool& handled) {
    auto& tv = reinterpret_cast<NMTREEVIEWA&>(header);  // the A and W forms share this layout
    if (IsCode(header, TVN_SELCHANGEDA, TVN_SELCHANGEDW)) {
        Change(tv.itemNew.hItem);
        return 0;
    }
    if (IsCode(header, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDINGW)) {
        if (!(tv.action & TVE_EXPAND) || expandAsked_) return FALSE;
        if (!CanExpand(tv.itemNew.hItem)) return TRUE;
        // An item that was to load children lazily and found none loses its button.
        if (!FirstChild(tv.itemNew.hItem)) SetHasChildren(tv.itemNew.hItem, false);
        return FALSE;
    }
    if (IsCode(header, TVN_DELETEITEMA, TVN_DELETEITEMW)) {
        Deleted(tv.itemOld.hItem);
        return 0;
    }
    if (IsCode(header, TVN_ENDLABELEDITA, TVN_ENDLABELEDITW)) {
        // An edit that was not cancelled becomes the item's text.
        return reinterpret_cast<NMTVDISPINFOA&>(header).item.pszText != nullptr;
    }
    if (header.code == static_cast<UINT>(NM_CLICK)) {
        clicked_ = true;  // reported once the tree has moved its selection
        return 0;
    }
    handled = false;
    return 0;
}

LRESULT TTreeView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_LBUTTONDOWN && message != WM_LBUTTONUP) return TWinControl::WndProc(message, wParam, lParam);
    clicked_ = false;
    LRESULT result = TWinControl::WndProc(message, wParam, lParam);
    if (clicked_ && HandleAllocated()) {
        clicked_ = false;
        Click();
    }
    return result;
}

}  // namespace zub
