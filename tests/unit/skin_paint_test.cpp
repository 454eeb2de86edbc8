// The paint machinery of the skinned form and frame: buffer hysteresis,
// scale modes and the background and bitmap stages.
#include "skin/paint_engine.h"

#include <gtest/gtest.h>

namespace zub {
namespace {

TEST(PaintEngine, BufferGrowsWithMarginAndShrinksOnlyBeyondIt) {
    TPaintEngine e;
    struct Step {
        int w, h;
        int wantW, wantH;
        bool reallocated;
    } steps[] = {
        {100, 50, 140, 90, true},  {120, 60, 140, 90, false}, {100, 50, 140, 90, false},  // 40 below: kept
        {99, 50, 99, 90, true},    {99, 49, 99, 49, true},    {99, 49, 99, 49, false},
        {200, 10, 240, 49, true},  {0, 0, 0, 0, true},
    };
    for (const Step& s : steps) {
        e.BufferValid = true;
        EXPECT_EQ(e.ResizeBuffer(s.w, s.h), s.reallocated) << s.w << "x" << s.h;
        EXPECT_EQ(e.Buffer.Width(), s.wantW) << s.w << "x" << s.h;
        EXPECT_EQ(e.Buffer.Height(), s.wantH) << s.w << "x" << s.h;
        EXPECT_EQ(e.BufferValid, !s.reallocated);
    }
}

TEST(PaintEngine, BitmapSizeByScaleMode) {
    TPaintEngine e;
    e.Bitmap.SetSize(100, 50);
    struct Case {
        TScaleMode mode;
        float scale;
        int w, h;
        TSize32 want;
    } cases[] = {
        {TScaleMode::smNormal, 1, 300, 300, {100, 50}},  {TScaleMode::smStretch, 1, 300, 70, {300, 70}},
        {TScaleMode::smResize, 1, 300, 50, {100, 50}},   {TScaleMode::smResize, 1, 50, 300, {50, 25}},
        {TScaleMode::smScale, 0.5f, 1, 1, {50, 25}},      {TScaleMode::smScale, 0.25f, 1, 1, {25, 12}},  // 12.5: even
        {TScaleMode::smNormal, 1, 0, 300, {0, 0}},
    };
    for (const Case& c : cases) {
        e.ScaleMode = c.mode;
        e.Scale = c.scale;
        EXPECT_EQ(e.GetBitmapSize(c.w, c.h), c.want) << int(c.mode) << " " << c.w << "x" << c.h;
    }
}

TEST(PaintEngine, ScaleHasAFloor) {
    TPaintEngine e;
    EXPECT_TRUE(e.SetScale(0));
    EXPECT_FLOAT_EQ(e.Scale, 0.001f);
    EXPECT_FALSE(e.SetScale(-3));
}

TEST(PaintEngine, PaintsBitmapAndFillsAroundIt) {
    TPaintEngine e;
    e.Bitmap.SetSize(2, 2);
    e.Bitmap.Clear(0x00123456);  // alpha 0 is copied as it is: opaque drawing
    e.ResizeBuffer(4, 3);
    e.PaintBuffer(4, 3, 0xFFAAAAAA);
    EXPECT_TRUE(e.BufferValid);
    EXPECT_EQ(e.Buffer.Pixel(1, 1), 0x00123456u);
    EXPECT_EQ(e.Buffer.Pixel(2, 0), 0xFFAAAAAAu);
    EXPECT_EQ(e.Buffer.Pixel(0, 2), 0xFFAAAAAAu);
    EXPECT_EQ(e.Buffer.Pixel(3, 2), 0xFFAAAAAAu);
}

TEST(PaintEngine, EmptyBitmapClearsTheWholeBuffer) {
    TPaintEngine e;
    e.ResizeBuffer(3, 3);
    e.PaintBuffer(3, 3, 0xFF010203);
    for (int y = 0; y < e.Buffer.Height(); ++y)
        for (int x = 0; x < e.Buffer.Width(); ++x) ASSERT_EQ(e.Buffer.Pixel(x, y), 0xFF010203u);
}

TEST(PaintEngine, CachedRectIsKeptUntilInvalidated) {
    TPaintEngine e;
    e.Bitmap.SetSize(2, 2);
    e.ResizeBuffer(8, 8);
    e.PaintBuffer(8, 8, 0);
    EXPECT_EQ(e.CachedBitmapRect, (TRect32{0, 0, 2, 2}));
    e.SetScaleMode(TScaleMode::smStretch);  // invalidates
    e.PaintBuffer(8, 8, 0);
    EXPECT_EQ(e.CachedBitmapRect, (TRect32{0, 0, 8, 8}));
}

}  // namespace
}  // namespace zub
