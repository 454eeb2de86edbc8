// Colour values, the colour key of KGraphic, and the image cache.
#include "skin/graphic.h"

#include <gtest/gtest.h>

#include "base/file.h"
#include "shell/temp_folder.h"
#include "skin/media_list.h"
#include "skin_test_util.h"

namespace zub {
namespace {

using test::SkinDataFolder;

TEST(WinColorToColor32, ValuesAndSystemColours) {
    auto lookup = [](int index) -> uint32_t { return index == 15 ? 0x00C7C8C9 : 0x00010203; };
    struct Case {
        int32_t color;
        TColor32 want;
    } cases[] = {
        {255, 0xFFFF0000},
        {13093064, 0xFFC8C8C7},
        {0x00FF00FF, 0xFFFF00FF},
        {0, 0xFF000000},
        {0x7FFFFFFF, 0xFFFFFFFF},          // the high byte is ignored
        {int32_t(0x8000000F), 0xFFC9C8C7},  // system colour 15
        {int32_t(0x8000010F), 0xFFC9C8C7},  // only the low byte is the index
        {int32_t(0x80000005), 0xFF030201},
    };
    for (const Case& c : cases) EXPECT_EQ(WinColorToColor32(c.color, lookup), c.want) << std::hex << c.color;
}

class GraphicTest : public ::testing::Test {
protected:
    // A 24-bit BMP of one row: pure red, red 254, magenta, white.
    std::string WriteRow(const std::string& name) {
        std::vector<uint8_t> b(54 + 12, 0);
        auto put = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
        };
        b[0] = 'B', b[1] = 'M';
        put(10, 54), put(14, 40), put(18, 4), put(22, 1);
        b[26] = 1, b[28] = 24;
        const uint8_t px[] = {0, 0, 255, 0, 0, 254, 255, 0, 255, 255, 255, 255};
        std::copy(px, px + 12, b.begin() + 54);
        fs::File f = fs::File::Create(folder_ + name);
        f.Write(b.data(), b.size());
        return folder_ + name;
    }
    const TTempFolder temp_;
    const std::string folder_ = temp_.Path();
    KMediaList media_;
};

TEST_F(GraphicTest, ColourKeyIsExact) {
    KGraphic g(nullptr, media_);
    int changes = 0;
    g.OnChange = [&] { ++changes; };
    g.SetFileName(WriteRow("row.bmp"));
    g.SetInvisibleColor(255);  // pure red
    g.SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
    EXPECT_EQ(changes, 3);
    TBitmap32& b = g.GetBitmap();
    ASSERT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Pixel(0, 0), 0x00FF0000u);  // keyed: alpha 0, colour kept
    EXPECT_EQ(b.Pixel(1, 0), 0xFFFE0000u);  // one step off stays opaque
    EXPECT_EQ(b.Pixel(2, 0), 0xFFFF00FFu);
    g.SetInvisibleColor(0xFF00FF);
    EXPECT_EQ(g.GetBitmap().Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(g.GetBitmap().Pixel(2, 0), 0x00FF00FFu);
    g.SetTransparencyMode(TTransparencyMode::tmOpaque);
    EXPECT_EQ(g.GetBitmap().Pixel(2, 0), 0xFFFF00FFu);
}

TEST_F(GraphicTest, SystemColourKeyIsResolvedWhenUsed) {
    KGraphic g(nullptr, media_);
    uint32_t system = 0x00FFFFFF;  // white
    g.SysColors = [&](int index) { return index == 15 ? system : 0; };
    g.SetFileName(WriteRow("row.bmp"));
    g.SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
    g.SetInvisibleColor(kClBtnFace);
    EXPECT_EQ(g.GetBitmap().Pixel(3, 0) >> 24, 0u);
    system = 0x000000FF;  // now red: takes effect at the next reprocessing
    g.SetInvisibleColor(0);
    g.SetInvisibleColor(kClBtnFace);
    EXPECT_EQ(g.GetBitmap().Pixel(3, 0) >> 24, 255u);
    EXPECT_EQ(g.GetBitmap().Pixel(0, 0) >> 24, 0u);
}

TEST_F(GraphicTest, SettersIgnoreNoChange) {
    KGraphic g(nullptr, media_);
    int changes = 0;
    g.OnChange = [&] { ++changes; };
    g.SetFileName("");
    g.SetTransparencyMode(TTransparencyMode::tmOpaque);
    g.SetInvisibleColor(0);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(g.GetBitmap().IsEmpty());  // no file: an empty bitmap whatever the mode
    g.SetFileName(WriteRow("a.bmp"));
    g.SetFileName(g.FileName());
    EXPECT_EQ(changes, 1);
    g.GetBitmap();
    uint8_t clean = g.DirtyFlags();
    g.SetInvisibleColor(123);  // mode 0: announced, not reprocessed
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(g.DirtyFlags(), clean);
}

TEST_F(GraphicTest, MissingAndDamagedPicturesGiveThePlaceholder) {
    std::string damaged = folder_ + "damaged.bmp";
    fs::File::Create(damaged).Write("BMnonsense", 10);
    std::string unknown = WriteRow("row.png");
    std::string misnamed = WriteRow("row.jpg");  // a BMP the JPEG decoder rejects
    for (const std::string& name : {folder_ + "missing.bmp", damaged, unknown, misnamed}) {
        KGraphic g(nullptr, media_);
        g.SetFileName(name);
        EXPECT_EQ(g.GetBitmap().Width(), 100) << name;
        EXPECT_EQ(g.GetBitmap().Height(), 100) << name;
    }
}

TEST_F(GraphicTest, CacheHitsIgnoreCaseAndKeepThePlaceholderUnderTheName) {
    const TBitmap32& first = media_.GetImage(folder_ + "missing.gif");
    EXPECT_EQ(first.Width(), kNoImageSize);
    const TBitmap32& again = media_.GetImage(folder_ + "MISSING.GIF");
    EXPECT_EQ(&first, &again);
    ASSERT_EQ(media_.Count(), 1u);
    EXPECT_EQ(media_.Name(0), folder_ + "missing.gif");
    EXPECT_EQ(media_.UseCount(0), 1);
    // The file appearing later does not change the cached answer.
    WriteRow("missing.gif");
    EXPECT_EQ(media_.GetImage(folder_ + "missing.gif").Width(), kNoImageSize);
}

TEST_F(GraphicTest, BaseFolderIsTriedForNamesNotFound) {
    WriteRow("base.bmp");
    media_.MediaBaseFolder = folder_;
    EXPECT_EQ(media_.GetImage("base.bmp").Width(), 4);
}

TEST_F(GraphicTest, PurgeKeepsOnlyEntriesFetchedThreeTimes) {
    const int fetches[] = {0, 1, 2, 3, 5};
    for (int i = 0; i < 5; ++i)
        for (int n = 0; n <= fetches[i]; ++n) media_.GetImage("picture" + std::to_string(i));
    media_.TimerTimer();
    ASSERT_EQ(media_.Count(), 2u);
    EXPECT_EQ(media_.Name(0), "picture3");
    EXPECT_EQ(media_.Name(1), "picture4");
    EXPECT_EQ(media_.UseCount(0), 0);
    media_.TimerTimer();  // not fetched since: gone
    EXPECT_EQ(media_.Count(), 0u);
}

TEST_F(GraphicTest, EachGraphicOwnsItsCopy) {
    KGraphic a(nullptr, media_), b(nullptr, media_);
    std::string row = WriteRow("row.bmp");
    a.SetFileName(row);
    b.SetFileName(row);
    b.SetInvisibleColor(255);
    b.SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
    EXPECT_EQ(a.GetBitmap().Pixel(0, 0) >> 24, 255u);
    EXPECT_EQ(b.GetBitmap().Pixel(0, 0) >> 24, 0u);
    media_.TimerTimer();
    media_.TimerTimer();
    EXPECT_EQ(b.GetBitmap().Pixel(0, 0) >> 24, 0u);  // a purge never changes what is shown
}

}  // namespace
}  // namespace zub
