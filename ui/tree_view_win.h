// A tree of items: the system's tree-view control. Items have a text, an
// image and a selected image from the tree's image list, an overlay and a
// data pointer of the caller's. Children can be loaded lazily: an item marked
// SetHasChildren(item, true) shows an expand button without having children,
// and OnExpanding (or an override of CanExpand) fills it when it is opened.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/window_win.h"

namespace zub {

// An item of a tree; null is "no item".
using TTreeNode = HTREEITEM;

using TTreeNodeEvent = std::function<void(TTreeNode node)>;
using TTreeExpandingEvent = std::function<void(TTreeNode node, bool& allowExpansion)>;

class TTreeView : public TWinControl {
public:
    TTreeView(TComponent* owner, TWinControl* parent);
    ~TTreeView() override;

    // Items. A null parent is the top level; items are appended in order.
    TTreeNode AddChild(TTreeNode parent, const std::string& text, void* data = nullptr);
    // Inserts a sibling before `before` (under the same parent).
    TTreeNode InsertBefore(TTreeNode before, const std::string& text, void* data = nullptr);
    // Deletes an item with everything below it.
    void Delete(TTreeNode node);
    void DeleteChildren(TTreeNode node);
    void Clear();
    int Count() const;

    // Walking the tree; each gives null when there is no such item.
    TTreeNode FirstNode() const;  // the first top-level item
    TTreeNode NextSibling(TTreeNode node) const;
    TTreeNode PrevSibling(TTreeNode node) const;
    TTreeNode FirstChild(TTreeNode node) const;
    TTreeNode ParentNode(TTreeNode node) const;

    std::string NodeText(TTreeNode node) const;
    void SetNodeText(TTreeNode node, const std::string& text);
    void* NodeData(TTreeNode node) const;
    void SetNodeData(TTreeNode node, void* data);
    int ImageIndex(TTreeNode node) const;
    int SelectedIndex(TTreeNode node) const;
    void SetImages(TTreeNode node, int image, int selectedImage);
    // Overlay image 1 to 15 of the image list, 0 or less for none.
    void SetOverlay(TTreeNode node, int overlay);
    int Overlay(TTreeNode node) const;
    // Whether the item shows an expand button before it has children.
    void SetHasChildren(TTreeNode node, bool value);
    bool HasChildren(TTreeNode node) const;

    TTreeNode Selected() const;
    void Select(TTreeNode node);
    // Opens (or closes) one level; opening asks CanExpand first.
    void Expand(TTreeNode node);
    void Collapse(TTreeNode node);
    bool Expanded(TTreeNode node) const;
    // Opens the ancestors and scrolls the item into view.
    void MakeVisible(TTreeNode node);
    // Sorts the item's children (or the top level for null) by text.
    void SortChildren(TTreeNode node);
    // The item at a point of the client area, or null.
    TTreeNode NodeAt(int x, int y) const;
    // Marks an item as the target of a drop (null: none).
    void SetDropTarget(TTreeNode node);
    // The image list of the items; the tree does not own or destroy it.
    void SetImageList(HIMAGELIST images);
    HIMAGELIST ImageList() const;
    // Whether the user may not edit the items' texts in place (they may by default).
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    // Drawing held back between the two, for many changes at once; nested.
    void BeginUpdate();
    void EndUpdate();

    // The selection moved (by the user or the program).
    TTreeNodeEvent OnChange;
    // An item is about to open; clearing allowExpansion keeps it closed.
    TTreeExpandingEvent OnExpanding;
    // A click of the mouse on the tree, after the selection has followed it.
    TNotifyEvent OnClick;
    // An item is being deleted (also every item of a deleted subtree).
    TTreeNodeEvent OnDeletion;

protected:
    // The events' hooks for derived trees; the defaults call the events.
    virtual void Change(TTreeNode node);
    virtual bool CanExpand(TTreeNode node);
    virtual void Click();
    virtual void Deleted(TTreeNode node);

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT Notify(NMHDR& header, bool& handled) override;

private:
    TVITEMA GetItem(TTreeNode node, UINT mask) const;
    int updateCount_ = 0;
    bool clicked_ = false;
    bool expandAsked_ = false;  // Expand has asked CanExpand already
};

}  // namespace zub
