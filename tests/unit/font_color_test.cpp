// Font sizes in points and heights, the heading rule, and colour values.
#include <gtest/gtest.h>

#include "base/color.h"
#include "base/font.h"

namespace zub {
namespace {

TEST(Font, PointsAndHeights) {
    struct Case {
        int32_t height;
        int dpi;
        int points;
    } cases[] = {
        {-11, 96, 8}, {-13, 96, 10}, {-19, 96, 14}, {-21, 96, 16}, {-16, 96, 12},
        {11, 96, 8},  {-8, 72, 8},   {-13, 120, 8}, {-17, 120, 10}, {0, 96, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(FontHeightToPoints(c.height, c.dpi), c.points) << c.height << "@" << c.dpi;
    EXPECT_EQ(PointsToFontHeight(8), -11);
    EXPECT_EQ(PointsToFontHeight(10), -13);
    EXPECT_EQ(PointsToFontHeight(16), -21);
    EXPECT_EQ(PointsToFontHeight(10, 120), -17);
    EXPECT_EQ(MulDivRound(-7, 3, 2), -11);  // -10.5 rounds away from zero
    EXPECT_EQ(MulDivRound(7, 3, -2), -11);
    EXPECT_EQ(MulDivRound(5, 5, 0), 0);
}

TEST(Font, HeadingIsTwoPointsLargerAndBold) {
    struct Case {
        const char* what;
        int32_t height;
        unsigned style;
        int32_t headingHeight;
        unsigned headingStyle;
        int32_t buttonHeight;  // limited to 10 points
    } cases[] = {
        {"8 points", -11, 0, -13, fsBold, -11},
        {"14 points", -19, 0, -21, fsBold, -13},
        {"10 points exactly", -13, 0, -16, fsBold, -13},
        {"italic stays", -11, fsItalic, -13, fsBold | fsItalic, -11},
        {"bold already", -11, fsBold, -13, fsBold, -11},
        {"cell height stays a cell height", 13, 0, 16, fsBold, 13},
        {"large cell height", 24, 0, 27, fsBold, 13},
        {"default height", 0, 0, -13, fsBold, 0},
    };
    for (const Case& c : cases) {
        TFont base;
        base.Name = "Arial";
        base.Color = 0x0000FF;
        base.Height = c.height;
        base.Style = c.style;
        TFont heading = HeadingFont(base);
        EXPECT_EQ(heading.Height, c.headingHeight) << c.what;
        EXPECT_EQ(heading.Style, c.headingStyle) << c.what;
        EXPECT_EQ(heading.Name, "Arial") << c.what;
        EXPECT_EQ(heading.Color, 0x0000FF) << c.what;
        TFont button = base;
        LimitFontPoints(button, 10);
        EXPECT_EQ(button.Height, c.buttonHeight) << c.what;
    }
}

TEST(Color, SystemColoursAreResolvedWhenUsed) {
    int asked = -1;
    auto lookup = [&](int index) {
        asked = index;
        return 0xFF123456u;  // a top byte from the lookup is not part of the colour
    };
    EXPECT_EQ(ColorToRGB(clWindowText, lookup), 0x123456u);
    EXPECT_EQ(asked, 8);
    EXPECT_EQ(ColorToRGB(clBtnFace, lookup), 0x123456u);
    EXPECT_EQ(asked, 15);
    EXPECT_EQ(ColorToRGB(14737632, lookup), 0xE0E0E0u);
    EXPECT_EQ(ColorToRGB(0x010000FF, lookup), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(-2147483640)), ColorToRGB(clWindowText));
    EXPECT_TRUE(IsSystemColor(clWindow));
    EXPECT_FALSE(IsSystemColor(clBlack));
}

}  // namespace
}  // namespace zub
