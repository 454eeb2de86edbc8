// Alignment and anchors: where a parent puts its children when its client
// area changes size. One pure function does it, so the rules are tested
// without windows.
//
// Aligned children are stacked in creation order: all top-aligned children
// from the top down, then bottom-aligned from the bottom up, then left and
// right in the same way in what is left, and client-aligned children fill
// the rest. A hidden child takes no space. Children without alignment follow
// their anchors: each anchored side keeps its distance to the parent's side
// as it was when the child's bounds were last set; a side without anchor on
// both ends of an axis keeps the child's centre in proportion.
#pragma once

#include <vector>

namespace zub {

struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const TBounds& o) const {
        return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
    }
    bool operator!=(const TBounds& o) const { return !(*this == o); }
};

struct TClientSize {
    int Width = 0, Height = 0;
    bool operator==(const TClientSize& o) const { return Width == o.Width && Height == o.Height; }
    bool operator!=(const TClientSize& o) const { return !(*this == o); }
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;  // TAnchorKind bits
constexpr TAnchors kDefaultAnchors = akLeft | akTop;
constexpr TAnchors kAllAnchors = akLeft | akTop | akRight | akBottom;

// One child as the layout sees it.
struct TLayoutItem {
    TAlign Align = TAlign::alNone;
    TAnchors Anchors = kDefaultAnchors;
    bool Visible = true;
    // The current bounds: an aligned child keeps its height (top, bottom) or
    // its width (left, right) from here.
    TBounds Bounds;
    // The bounds the anchors measure from, and the parent's client size then.
    TBounds Origin;
    TClientSize OriginParent;
};

// The bounds of an unaligned child for the parent's client size `client`.
TBounds AnchoredBounds(const TLayoutItem& item, TClientSize client);

// The new bounds of every child, in the order given (creation order), for
// the parent's client size `client`. Hidden aligned children keep theirs.
std::vector<TBounds> ArrangeChildren(const std::vector<TLayoutItem>& items, TClientSize client);

}  // namespace zub
