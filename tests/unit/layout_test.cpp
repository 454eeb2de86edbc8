// Alignment and anchors, with the bounds of the wizard's pages and of the
// folder dialog.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace zub {

std::ostream& operator<<(std::ostream& out, const TBounds& b) {
    return out << "(" << b.Left << ", " << b.Top << ", " << b.Width << " x " << b.Height << ")";
}

namespace {

TLayoutItem Anchored(TBounds origin, TClientSize parent, TAnchors anchors) {
    TLayoutItem item;
    item.Anchors = anchors;
    item.Bounds = item.Origin = origin;
    item.OriginParent = parent;
    return item;
}

TLayoutItem Aligned(TAlign align, int width, int height, bool visible = true) {
    TLayoutItem item;
    item.Align = align;
    item.Visible = visible;
    item.Bounds = item.Origin = {0, 0, width, height};
    return item;
}

TEST(Layout, AnchoredChildrenFollowTheirParent) {
    struct Case {
        const char* what;
        TBounds origin;
        TClientSize originParent;
        TAnchors anchors;
        TClientSize parent;
        TBounds expected;
    } cases[] = {
        // The page area keeps margins 12 left, 14 top, 12 right, 16 bottom.
        {"TextBox, larger MainPanel", {12, 14, 369, 275}, {393, 305}, kAllAnchors, {450, 340}, {12, 14, 426, 310}},
        {"TextBox, smaller MainPanel", {12, 14, 369, 275}, {393, 305}, kAllAnchors, {300, 200}, {12, 14, 276, 170}},
        {"TextBox, same size", {12, 14, 369, 275}, {393, 305}, kAllAnchors, {393, 305}, {12, 14, 369, 275}},
        {"TextBox, MainPanel too small", {12, 14, 369, 275}, {393, 305}, kAllAnchors, {10, 10}, {12, 14, 0, 0}},
        // The Browse button keeps its right margin of 9 in the group box.
        {"DestinationButton", {285, 17, 75, 25}, {369, 50}, akTop | akRight, {420, 50}, {336, 17, 75, 25}},
        {"DestinationButton, narrower", {285, 17, 75, 25}, {369, 50}, akTop | akRight, {300, 80}, {216, 17, 75, 25}},
        // The folder dialog: its panel grows with the window, the buttons
        // follow the lower right corner.
        {"Panel1", {13, 14, 281, 263}, {308, 331}, kAllAnchors, {408, 381}, {13, 14, 381, 313}},
        {"OKBut", {140, 288, 75, 24}, {308, 331}, akRight | akBottom, {408, 381}, {240, 338, 75, 24}},
        {"CancelBut", {220, 288, 75, 24}, {308, 331}, akRight | akBottom, {408, 381}, {320, 338, 75, 24}},
        {"PathEdit", {0, 0, 281, 21}, {281, 24}, akLeft | akTop | akRight, {381, 24}, {0, 0, 381, 21}},
        {"left and top stay", {5, 6, 7, 8}, {100, 100}, kDefaultAnchors, {300, 300}, {5, 6, 7, 8}},
        {"no side anchored keeps the centre", {40, 40, 20, 20}, {100, 100}, 0, {200, 300}, {90, 140, 20, 20}},
        {"no side anchored, off centre", {10, 0, 20, 10}, {100, 100}, akTop, {200, 100}, {30, 0, 20, 10}},
        {"Panel6, left and right", {24, 65, 321, 33}, {369, 200}, akLeft | akRight, {469, 300}, {24, 106, 421, 33}},
    };
    for (const Case& c : cases) {
        TLayoutItem item = Anchored(c.origin, c.originParent, c.anchors);
        EXPECT_EQ(AnchoredBounds(item, c.parent), c.expected) << c.what;
        EXPECT_EQ(ArrangeChildren({item}, c.parent)[0], c.expected) << c.what;
    }
}

TEST(Layout, TopRowsStackInCreationOrderAndHiddenRowsTakeNoSpace) {
    // The completion page's three 20-pixel rows of check boxes.
    struct Case {
        const char* what;
        bool desktop, readMe, launch;
        int desktopTop, readMeTop, launchTop;
    } cases[] = {
        {"all three", true, true, true, 0, 20, 40},
        {"no desktop row", false, true, true, -1, 0, 20},
        {"only the launch row", false, false, true, -1, -1, 0},
        {"no read-me row", true, false, true, 0, -1, 20},
    };
    for (const Case& c : cases) {
        std::vector<TLayoutItem> rows = {Aligned(TAlign::alTop, 10, 20, c.desktop),
                                         Aligned(TAlign::alTop, 10, 20, c.readMe),
                                         Aligned(TAlign::alTop, 10, 20, c.launch)};
        std::vector<TBounds> b = ArrangeChildren(rows, {345, 120});
        const int tops[] = {c.desktopTop, c.readMeTop, c.launchTop};
        for (int i = 0; i < 3; ++i) {
            if (tops[i] < 0) continue;
            EXPECT_EQ(b[i], (TBounds{0, tops[i], 345, 20})) << c.what << " row " << i;
        }
    }
}

TEST(Layout, PageOfHeadingsBottomPanelAndClientFill) {
    // The licence page: three heading lines at the top, a 40-pixel panel at
    // the bottom, and the rest for the memo's panel, whatever the order of
    // creation of bottom and client children.
    std::vector<TLayoutItem> page = {
        Aligned(TAlign::alTop, 0, 18),    Aligned(TAlign::alTop, 0, 13), Aligned(TAlign::alTop, 0, 26),
        Aligned(TAlign::alClient, 0, 0),  Aligned(TAlign::alBottom, 0, 40),
    };
    std::vector<TBounds> b = ArrangeChildren(page, {369, 275});
    EXPECT_EQ(b[0], (TBounds{0, 0, 369, 18}));
    EXPECT_EQ(b[1], (TBounds{0, 18, 369, 13}));
    EXPECT_EQ(b[2], (TBounds{0, 31, 369, 26}));
    EXPECT_EQ(b[4], (TBounds{0, 235, 369, 40}));
    EXPECT_EQ(b[3], (TBounds{0, 57, 369, 178}));
}

TEST(Layout, LeftRightAndOverfullAreas) {
    std::vector<TLayoutItem> items = {
        Aligned(TAlign::alLeft, 30, 0), Aligned(TAlign::alRight, 40, 0), Aligned(TAlign::alTop, 0, 10),
        Aligned(TAlign::alClient, 0, 0),
    };
    std::vector<TBounds> b = ArrangeChildren(items, {200, 100});
    EXPECT_EQ(b[2], (TBounds{0, 0, 200, 10}));  // top rows go first, over the whole width
    EXPECT_EQ(b[0], (TBounds{0, 10, 30, 90}));
    EXPECT_EQ(b[1], (TBounds{160, 10, 40, 90}));
    EXPECT_EQ(b[3], (TBounds{30, 10, 130, 90}));

    // Rows taller than the parent leave the client child an empty area, never a negative one.
    std::vector<TLayoutItem> tall = {Aligned(TAlign::alTop, 0, 80), Aligned(TAlign::alTop, 0, 80),
                                     Aligned(TAlign::alClient, 0, 0)};
    b = ArrangeChildren(tall, {50, 100});
    EXPECT_EQ(b[2].Width, 50);
    EXPECT_EQ(b[2].Height, 0);
}

TEST(Layout, HiddenChildrenKeepTheirBounds) {
    TLayoutItem hidden = Aligned(TAlign::alClient, 7, 9, false);
    hidden.Bounds = {1, 2, 7, 9};
    EXPECT_EQ(ArrangeChildren({hidden}, {300, 300})[0], (TBounds{1, 2, 7, 9}));
}

}  // namespace
}  // namespace zub
