#include "ui/layout.h"

#include <algorithm>

namespace zub {
namespace {

// One axis of an anchored child: start and length for the new parent length.
void AnchorAxis(bool nearSide, bool farSide, int start, int length, int originParent, int parent, int& outStart,
                int& outLength) {
    const int delta = parent - originParent;
    outStart = start;
    outLength = length;
    if (nearSide && farSide) outLength = std::max(0, length + delta);
    else if (farSide) outStart = start + delta;
    else if (!nearSide && originParent > 0) {
        // The centre keeps its place in proportion to the parent's length (rounded).
        const long long centre = start + length / 2;
        const long long moved = (2 * centre * parent + originParent) / (2LL * originParent);
        outStart = static_cast<int>(moved) - length / 2;
    }
}

}  // namespace

TBounds AnchoredBounds(const TLayoutItem& item, TClientSize client) {
    TBounds b;
    AnchorAxis(item.Anchors & akLeft, item.Anchors & akRight, item.Origin.Left, item.Origin.Width,
               item.OriginParent.Width, client.Width, b.Left, b.Width);
    AnchorAxis(item.Anchors & akTop, item.Anchors & akBottom, item.Origin.Top, item.Origin.Height,
               item.OriginParent.Height, client.Height, b.Top, b.Height);
    return b;
}

std::vector<TBounds> ArrangeChildren(const std::vector<TLayoutItem>& items, TClientSize client) {
    std::vector<TBounds> result;
    result.reserve(items.size());
    for (const TLayoutItem& item : items) result.push_back(item.Bounds);

    // What is left of the client area, as edges.
    int left = 0, top = 0, right = client.Width, bottom = client.Height;
    auto place = [&](TAlign align) {
        for (size_t i = 0; i < items.size(); ++i) {
            const TLayoutItem& item = items[i];
            if (item.Align != align || !item.Visible) continue;
            const int width = std::max(0, right - left), height = std::max(0, bottom - top);
            TBounds& b = result[i];
            switch (align) {
                case TAlign::alTop:
                    b = {left, top, width, item.Bounds.Height};
                    top += item.Bounds.Height;
                    break;
                case TAlign::alBottom:
                    b = {left, bottom - item.Bounds.Height, width, item.Bounds.Height};
                    bottom -= item.Bounds.Height;
                    break;
                case TAlign::alLeft:
                    b = {left, top, item.Bounds.Width, height};
                    left += item.Bounds.Width;
                    break;
                case TAlign::alRight:
                    b = {right - item.Bounds.Width, top, item.Bounds.Width, height};
                    right -= item.Bounds.Width;
                    break;
                case TAlign::alClient: b = {left, top, width, height}; break;
                case TAlign::alNone: break;
            }
        }
    };
    for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
        place(align);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].Align == TAlign::alNone) result[i] = AnchoredBounds(items[i], client);
    return result;
}

}  // namespace zub
