// Skinned windows under Wine: the window region equals the pixels that are
// not of the invisible colour, also for pictures with very many runs.
#include <gtest/gtest.h>

#include "skin/media_list.h"
#include "skin/region_win.h"
#include "skin/zub_form_win.h"
#include "skin_test_util_win.h"

namespace zub {
namespace {

using test::TPixelSet;

constexpr uint32_t kKey = 0xFF00FF;  // magenta, as 0xRRGGBB and as a Windows colour (symmetric)

std::vector<std::vector<uint32_t>> Shape(int w, int h) {
    // Rounded corners, a hole, and a run that reaches the right edge.
    auto rows = test::Solid(w, h, 0x3060A0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int cx = x < 6 ? 6 - x : x >= w - 6 ? x - (w - 7) : 0;
            int cy = y < 6 ? 6 - y : y >= h - 6 ? y - (h - 7) : 0;
            if (cx * cx + cy * cy > 36) rows[y][x] = kKey;
            if (x >= 20 && x < 30 && y >= 10 && y < 15) rows[y][x] = kKey;
            if (x % 7 == 3 && y == h / 2) rows[y][x] = 0xFE00FF;  // one step off the key: stays
        }
    return rows;
}

TPixelSet Expected(const std::vector<std::vector<uint32_t>>& rows) {
    TPixelSet pixels;
    for (int y = 0; y < int(rows.size()); ++y)
        for (int x = 0; x < int(rows[y].size()); ++x)
            if (rows[y][x] != kKey) pixels.insert({x, y});
    return pixels;
}

class TTestForm : public TZubForm {
public:
    explicit TTestForm(KMediaList& media)
        : TZubForm(nullptr, "TSkinTestForm", "SkinTest", WS_POPUP | WS_CLIPCHILDREN, 388, 326, media) {}
};

TEST(SkinnedForm, RegionIsExactlyThePixelsNotOfTheInvisibleColour) {
    TTempFolder folder("skinregion.");
    auto rows = Shape(80, 50);
    test::WriteBmp(folder.Path() + "panel.bmp", rows);
    KMediaList media;
    TTestForm form(media);
    // The start-up order of the setup.
    form.Graphic().SetFileName(folder.Path() + "panel.bmp");
    form.Graphic().SetInvisibleColor(kKey);
    form.Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
    form.SetAlphaThreshold(100);
    form.SetShape(TShape::shBitmapAlpha);
    form.SetWidth(form.Graphic().GetBitmap().Width());
    form.SetHeight(form.Graphic().GetBitmap().Height());
    form.Show();
    test::Pump();
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_EQ(test::WindowRegionPixels(form.Handle()), Expected(rows));
    // The window shows the picture 1:1.
    HDC screen = GetDC(nullptr);
    COLORREF inside = GetPixel(screen, r.left + 40, r.top + 5);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(inside, RGB(0x30, 0x60, 0xA0));
}

TEST(SkinnedForm, MissingPictureGivesThePlaceholderAndARectangle) {
    KMediaList media;
    TTestForm form(media);
    form.Graphic().SetFileName("C:\\no\\such\\panel.bmp");
    form.Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
    form.SetShape(TShape::shBitmapAlpha);
    form.SetWidth(form.Graphic().GetBitmap().Width());
    form.SetHeight(form.Graphic().GetBitmap().Height());
    TPixelSet pixels = test::WindowRegionPixels(form.Handle());
    EXPECT_EQ(pixels.size(), 100u * 100u);
}

TEST(SkinnedForm, WithoutPictureTheWindowIsRectangular) {
    KMediaList media;
    TTestForm form(media);
    form.SetAlphaThreshold(100);
    form.SetShape(TShape::shBitmapAlpha);
    EXPECT_TRUE(form.Bitmap().IsEmpty());
    EXPECT_EQ(test::WindowRegionPixels(form.Handle()).size(), 388u * 326u);
}

TEST(BitmapToRegion, ManyRunsBuiltInChunksStayExact) {
    // A checkerboard of 600 x 300 has 90000 runs: more than one chunk.
    TBitmap32 b;
    b.SetSize(600, 300);
    TPixelSet want;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 600; ++x) {
            bool solid = (x + y) % 2 == 0;
            b.SetPixel(x, y, solid ? 0xFF000000 : 0);
            if (solid) want.insert({x, y});
        }
    static_assert(kRegionChunkRects < 90000, "the test must need several chunks");
    GdiObject<HRGN> region = BitmapToRegion(b, 100);
    ASSERT_TRUE(region.valid());
    EXPECT_EQ(test::RegionPixels(region.get()), want);
}

TEST(BitmapToRegion, FullyKeyedGivesAnEmptyRegion) {
    TBitmap32 b;
    b.SetSize(10, 10);
    GdiObject<HRGN> region = BitmapToRegion(b, 100);
    ASSERT_TRUE(region.valid());
    RECT box{};
    EXPECT_EQ(GetRgnBox(region.get(), &box), NULLREGION);
}

}  // namespace
}  // namespace zub
