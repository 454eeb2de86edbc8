// Region rectangles from the alpha channel, and the region data header.
#include "skin/region.h"

#include <gtest/gtest.h>

#include "skin/graphic.h"
#include "skin_test_util.h"

namespace zub {
namespace {

std::vector<TRegionRect> KeyedRects(const std::vector<std::string>& rows) {
    TBitmap32 b;
    test::PictureFromText(b, rows);
    ApplyColorKey(b, 0xFFFF00FF);
    return BitmapToRects(b, 100);
}

TEST(BitmapToRects, KeyedPictures) {
    using R = std::vector<TRegionRect>;
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        R want;
    } cases[] = {
        {"run to the right edge", {"..###"}, R{{2, 0, 5, 1}}},
        {"run from the left edge", {"##..."}, R{{0, 0, 2, 1}}},
        {"several runs in a row", {"#.#.#"}, R{{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}}},
        {"fully keyed", {"....", "...."}, R{}},
        {"nothing keyed: one per row", {"###", "###", "###"}, R{{0, 0, 3, 1}, {0, 1, 3, 2}, {0, 2, 3, 3}}},
        {"rows are not merged", {".##.", ".##."}, R{{1, 0, 3, 1}, {1, 1, 3, 2}}},
        {"rounded corners", {".##.", "####", ".##."}, R{{1, 0, 3, 1}, {0, 1, 4, 2}, {1, 2, 3, 3}}},
        {"a hole", {"###", "#.#"}, R{{0, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}},
        {"single pixel", {"#"}, R{{0, 0, 1, 1}}},
        {"key is exact: red 254 stays", {"qq"}, R{{0, 0, 2, 1}}},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyedRects(c.rows), c.want) << c.what;
}

TEST(BitmapToRects, ThresholdIsStrictAndOnlyItsLowByteCounts) {
    TBitmap32 b;
    b.SetSize(4, 1);
    const uint32_t alphas[] = {99, 100, 101, 255};
    for (int x = 0; x < 4; ++x) b.SetPixel(x, 0, alphas[x] << 24 | 0xFFFFFF);
    using R = std::vector<TRegionRect>;
    EXPECT_EQ(BitmapToRects(b, 100), (R{{2, 0, 4, 1}}));
    EXPECT_EQ(BitmapToRects(b, 256 + 100), (R{{2, 0, 4, 1}}));
    EXPECT_EQ(BitmapToRects(b, 0), (R{{0, 0, 4, 1}}));
    EXPECT_EQ(BitmapToRects(b, 255), R{});
    b.SetPixel(0, 0, 0x65000000);  // alpha 101 with black colour bits is solid too
    EXPECT_EQ(BitmapToRects(b, 100), (R{{0, 0, 1, 1}, {2, 0, 4, 1}}));
}

TEST(BitmapToRects, ManyRunsAreAllKept) {
    // A checkerboard has more runs than the old fixed buffer (height x 16 - 2) held.
    TBitmap32 b;
    b.SetSize(64, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x) b.SetPixel(x, y, (x + y) % 2 ? 0xFF000000 : 0);
    auto rects = BitmapToRects(b, 100);
    ASSERT_EQ(rects.size(), 64u * 8 / 2);
    EXPECT_EQ(rects[0], (TRegionRect{1, 0, 2, 1}));
    EXPECT_EQ(rects.back(), (TRegionRect{62, 7, 63, 8}));
}

TEST(RegionData, HeaderAndRectangleLayout) {
    uint8_t h[kRegionHeaderSize];
    WriteRegionHeader(h, 0x01020304, 640, 480);
    const uint8_t want[] = {32, 0, 0, 0, 1, 0, 0, 0, 4, 3, 2, 1, 0, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0, 0x80, 2, 0, 0, 0xE0, 1, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(h, h + 32), std::vector<uint8_t>(want, want + 32));

    uint8_t r[kRegionRectSize];
    WriteRegionRect(r, {-2, 1, 0x0102, 0x7FFFFFFF});
    const uint8_t rect[] = {0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 1, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(std::vector<uint8_t>(r, r + 16), std::vector<uint8_t>(rect, rect + 16));
}

}  // namespace
}  // namespace zub
