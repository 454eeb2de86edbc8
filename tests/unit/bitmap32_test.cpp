// The 32-bit bitmap: sizes, notifications, filling and opaque drawing.
#include "skin/bitmap32.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace zub {
namespace {

struct TSignals {
    int changes = 0, resizes = 0;
    void Watch(TBitmap32& b) {
        b.OnChange = [this] { ++changes; };
        b.OnResize = [this] { ++resizes; };
    }
};

TEST(Bitmap32, SetSizeTable) {
    struct Case {
        int w, h;
        int wantW, wantH;
        bool empty;
    } cases[] = {
        {-5, 10, 0, 10, true}, {0, 0, 0, 0, true}, {3, 0, 3, 0, true}, {3, 4, 3, 4, false}, {1, 1, 1, 1, false},
    };
    for (const Case& c : cases) {
        TBitmap32 b;
        b.SetSize(7, 7);
        b.SetSize(c.w, c.h);
        EXPECT_EQ(b.Width(), c.wantW) << c.w << "x" << c.h;
        EXPECT_EQ(b.Height(), c.wantH) << c.w << "x" << c.h;
        EXPECT_EQ(b.IsEmpty(), c.empty) << c.w << "x" << c.h;
    }
}

TEST(Bitmap32, SetSizeSignalsOnlyRealChangesAndZeroesPixels) {
    TBitmap32 b;
    TSignals s;
    s.Watch(b);
    EXPECT_TRUE(b.SetSize(2, 2));
    EXPECT_EQ(s.changes, 1);
    EXPECT_EQ(s.resizes, 1);
    EXPECT_EQ(b.Pixel(1, 1), 0u);
    EXPECT_FALSE(b.SetSize(2, 2));
    EXPECT_FALSE(b.SetSize(2, 2));
    EXPECT_EQ(s.changes, 1);
    EXPECT_EQ(s.resizes, 1);
}

TEST(Bitmap32, OversizeFailsWithTheAllocationMessageAndLeavesItEmpty) {
    TBitmap32 b;
    b.SetSize(4, 4);
    TSignals s;
    s.Watch(b);
    for (auto size : {std::pair{kMaxBitmapSide + 1, 1}, std::pair{kMaxBitmapSide, kMaxBitmapSide}}) {
        try {
            b.SetSize(size.first, size.second);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
        }
        EXPECT_TRUE(b.IsEmpty());
        EXPECT_EQ(b.Width(), 0);
    }
    EXPECT_EQ(s.resizes, 2);  // each failed resize is still announced
}

TEST(Bitmap32, ChangedInsideUpdateCallsNothing) {
    TBitmap32 b;
    b.SetSize(2, 2);
    TSignals s;
    s.Watch(b);
    b.BeginUpdate();
    b.Clear(1);
    b.ResetAlpha();
    b.Changed();
    b.EndUpdate();
    EXPECT_EQ(s.changes, 0);
    b.Changed();
    EXPECT_EQ(s.changes, 1);
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000001u);
}

TEST(Bitmap32, ClearOnEmptyDoesNothing) {
    TBitmap32 b;
    TSignals s;
    s.Watch(b);
    b.Clear(5);
    b.FillRect(0, 0, 9, 9, 5);
    EXPECT_EQ(s.changes, 0);
}

TEST(Bitmap32, FillRectIsClipped) {
    struct Case {
        int x1, y1, x2, y2;
        int filled;
    } cases[] = {
        {0, 0, 4, 3, 12}, {-2, -2, 2, 1, 2}, {3, 2, 10, 10, 1}, {2, 2, 2, 3, 0}, {5, 0, 9, 3, 0}, {3, 1, 1, 2, 0},
    };
    for (const Case& c : cases) {
        TBitmap32 b;
        b.SetSize(4, 3);
        b.FillRect(c.x1, c.y1, c.x2, c.y2, 7);
        int filled = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) filled += b.Pixel(x, y) == 7;
        EXPECT_EQ(filled, c.filled) << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2;
    }
}

TEST(Bitmap32, OpaqueDrawCopiesAlphaAndClipsToTarget) {
    TBitmap32 src, dst;
    src.SetSize(3, 3);
    src.Clear(0x00123456);
    dst.SetSize(2, 5);
    dst.Clear(0xFFFFFFFF);
    TSignals s;
    s.Watch(dst);
    src.DrawTo(dst);
    EXPECT_EQ(dst.Pixel(1, 2), 0x00123456u);
    EXPECT_EQ(dst.Pixel(1, 3), 0xFFFFFFFFu);
    EXPECT_EQ(s.changes, 1);
    TBitmap32 empty;
    empty.DrawTo(dst);
    dst.DrawTo(empty);
    EXPECT_EQ(s.changes, 1);
}

TEST(Bitmap32, DrawToRectangleStretchesNearestAndClips) {
    TBitmap32 src, dst;
    src.SetSize(2, 1);
    src.SetPixel(0, 0, 1);
    src.SetPixel(1, 0, 2);
    dst.SetSize(4, 3);
    dst.Clear(9);
    src.DrawTo(dst, {0, 0, 4, 2});  // 2x wide, 2x high
    EXPECT_EQ(dst.Pixel(0, 0), 1u);
    EXPECT_EQ(dst.Pixel(1, 1), 1u);
    EXPECT_EQ(dst.Pixel(2, 0), 2u);
    EXPECT_EQ(dst.Pixel(3, 1), 2u);
    EXPECT_EQ(dst.Pixel(0, 2), 9u);
    // 1:1 at (3, 2): only the top-left source pixel lands inside.
    src.DrawTo(dst, {3, 2, 5, 3});
    EXPECT_EQ(dst.Pixel(3, 2), 1u);
    // Partly left of and above the target.
    dst.Clear(9);
    src.DrawTo(dst, {-1, -1, 1, 1});
    EXPECT_EQ(dst.Pixel(0, 0), 2u);
    EXPECT_EQ(dst.Pixel(1, 0), 9u);
    // Shrinking 4 -> 2 samples the centres of each half.
    TBitmap32 wide, narrow;
    wide.SetSize(4, 1);
    for (int x = 0; x < 4; ++x) wide.SetPixel(x, 0, x);
    narrow.SetSize(2, 1);
    wide.DrawTo(narrow, {0, 0, 2, 1});
    EXPECT_EQ(narrow.Pixel(0, 0), 1u);
    EXPECT_EQ(narrow.Pixel(1, 0), 3u);
}

TEST(Bitmap32, AssignBitmapCopiesSizePixelsAndSettingsWithOneChange) {
    TBitmap32 src, dst;
    src.SetSize(3, 2);
    src.Clear(0x80FF0000);
    src.MasterAlpha = 17;
    src.OuterColor = 5;
    src.StretchFilter = TStretchFilter::sfLinear;
    src.DrawMode = TDrawMode::dmBlend;
    TSignals s;
    s.Watch(dst);
    dst.AssignBitmap(src);
    EXPECT_EQ(dst.Width(), 3);
    EXPECT_EQ(dst.Pixel(2, 1), 0x80FF0000u);
    EXPECT_EQ(dst.MasterAlpha, 17u);
    EXPECT_EQ(dst.OuterColor, 5u);
    EXPECT_EQ(dst.StretchFilter, TStretchFilter::sfLinear);
    EXPECT_EQ(dst.DrawMode, TDrawMode::dmBlend);
    EXPECT_EQ(s.changes, 1);
    EXPECT_EQ(s.resizes, 1);
}

TEST(Bitmap32, LockIsCountedAndReentrant) {
    TBitmap32 b;
    {
        TBitmapLock outer(b);
        TBitmapLock inner(b);
        EXPECT_EQ(b.LockCount(), 2);
    }
    EXPECT_EQ(b.LockCount(), 0);
}

}  // namespace
}  // namespace zub
