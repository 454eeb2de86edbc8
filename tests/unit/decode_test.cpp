// Picture decoders on files made by ImageMagick (tests/data/skin) and on
// damaged or hostile bytes, which must raise an error and never over-allocate.
#include "skin/picture_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/error.h"
#include "base/file.h"
#include "skin_test_util.h"

namespace zub {
namespace {

using test::SkinDataFolder;

constexpr TColor32 R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, M = 0xFFFF00FF, W = 0xFFFFFFFF, K = 0xFF000000,
                   Y = 0xFFFFFF00;
const TColor32 kSix[3][5] = {{R, G, B, M, W}, {K, R, G, B, M}, {Y, Y, R, R, K}};

TEST(PictureDecoder, LosslessFixturesGiveTheExactPixels) {
    // six_interlaced.gif is the same picture magnified four times.
    struct Case {
        const char* name;
        int scale;
    } cases[] = {{"six24.bmp", 1}, {"six4.bmp", 1}, {"six.gif", 1}, {"six_interlaced.gif", 4}};
    for (const Case& c : cases) {
        TBitmap32 b;
        b.LoadFromFile(SkinDataFolder() + c.name);
        ASSERT_EQ(b.Width(), 5 * c.scale) << c.name;
        ASSERT_EQ(b.Height(), 3 * c.scale) << c.name;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                ASSERT_EQ(b.Pixel(x, y), kSix[y / c.scale][x / c.scale]) << c.name << " at " << x << "," << y;
    }
}

TEST(PictureDecoder, OneBitAndEightBitPalettes) {
    TBitmap32 two;
    two.LoadFromFile(SkinDataFolder() + "two1.bmp");
    ASSERT_EQ(two.Width(), 9);
    EXPECT_EQ(two.Pixel(0, 0), W);
    EXPECT_EQ(two.Pixel(3, 0), W);
    EXPECT_EQ(two.Pixel(1, 0), K);
    EXPECT_EQ(two.Pixel(8, 1), W);
    EXPECT_EQ(two.Pixel(8, 0), K);
    TBitmap32 grey;
    grey.LoadFromFile(SkinDataFolder() + "grey8.bmp");
    ASSERT_EQ(grey.Width(), 40);
    EXPECT_EQ(grey.Pixel(0, 0), K);
    EXPECT_EQ(grey.Pixel(39, 0), W);
    for (int x = 1; x < 40; ++x) EXPECT_GT(grey.Pixel(x, 0), grey.Pixel(x - 1, 0)) << x;
}

TEST(PictureDecoder, ThirtyTwoBitBmpKeepsAlphaOthersAreOpaque) {
    TBitmap32 b;
    b.LoadFromFile(SkinDataFolder() + "alpha32.bmp");
    ASSERT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(1, 0) >> 24, 127u);
    EXPECT_EQ(b.Pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(b.Pixel(2, 0) >> 24, 0u);
    b.LoadFromFile(SkinDataFolder() + "six24.bmp");
    EXPECT_EQ(b.Pixel(4, 2) >> 24, 255u);
}

TEST(PictureDecoder, JpegsDecodeCloseToTheirColours) {
    auto near = [](TColor32 a, TColor32 b) {
        for (int s = 0; s < 32; s += 8)
            if (std::abs(int((a >> s) & 255) - int((b >> s) & 255)) > 12) return false;
        return true;
    };
    for (const char* name : {"halves.jpg", "halves_progressive.jpg"}) {
        TBitmap32 b;
        b.LoadFromFile(SkinDataFolder() + name);
        ASSERT_EQ(b.Width(), 16) << name;
        ASSERT_EQ(b.Height(), 8) << name;
        EXPECT_TRUE(near(b.Pixel(2, 3), R)) << std::hex << b.Pixel(2, 3);
        EXPECT_TRUE(near(b.Pixel(13, 5), B)) << std::hex << b.Pixel(13, 5);
    }
    TBitmap32 grey;
    grey.LoadFromFile(SkinDataFolder() + "grey.jpg");
    EXPECT_TRUE(near(grey.Pixel(5, 5), 0xFF808080)) << std::hex << grey.Pixel(5, 5);
}

// A hand-made BMP: 40-byte header, 24 bits, rows of `height` (negative: top-down).
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> b(54);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, uint32_t(54 + rows.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

TEST(PictureDecoder, TopDownAndBottomUpBmp) {
    // Two rows of one pixel each: blue first in the file, then red.
    std::vector<uint8_t> rows = {255, 0, 0, 0, 0, 0, 255, 0};
    TPicture up = DecodeBmp(MakeBmp(1, 2, 24, rows).data(), 62);
    TPicture down = DecodeBmp(MakeBmp(1, -2, 24, rows).data(), 62);
    EXPECT_EQ(up.Pixels[0] & 0xFFFFFF, 0xFF0000u);    // the last file row is the top
    EXPECT_EQ(down.Pixels[0] & 0xFFFFFF, 0x0000FFu);  // top-down: file order
}

TEST(PictureDecoder, DamagedAndHostileDataRaise) {
    std::vector<uint8_t> good = fs::ReadWholeFile(SkinDataFolder() + "six24.bmp");
    std::vector<uint8_t> gif = fs::ReadWholeFile(SkinDataFolder() + "six.gif");
    std::vector<uint8_t> jpg = fs::ReadWholeFile(SkinDataFolder() + "halves.jpg");
    auto with = [](std::vector<uint8_t> v, size_t at, std::vector<uint8_t> bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) v[at + i] = bytes[i];
        return v;
    };
    auto cut = [](std::vector<uint8_t> v, size_t n) { return v.resize(n), v; };
    // The JPEG's frame header (SOF0) holds height, then width, after FF C0, length, precision;
    // its scan data follows the scan header (FF DA and its length).
    size_t sof = 0, sos = 0;
    for (size_t i = 0; i + 1 < jpg.size(); ++i) {
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) sof = i;
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xDA) sos = i;
    }
    ASSERT_GT(sof, 0u);
    ASSERT_GT(sos, sof);
    const size_t scanData = sos + 2 + (size_t(jpg[sos + 2]) << 8 | jpg[sos + 3]);
    ASSERT_LT(scanData + 2, jpg.size() - 2);
    struct Case {
        const char* what;
        const char* ext;
        std::vector<uint8_t> data;
    } cases[] = {
        {"empty bmp", "bmp", {}},
        {"bmp without magic", "bmp", with(good, 0, {'X'})},
        {"bmp rows cut off", "bmp", cut(good, good.size() - 10)},
        {"bmp header cut off", "bmp", cut(good, 30)},
        {"bmp pixels beyond the file", "bmp", with(good, 10, {0xF0, 0xFF, 0xFF, 0x7F})},
        {"bmp of 2^31 pixels wide", "bmp", with(good, 18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"bmp of 20000 x 20000", "bmp", with(with(good, 18, {0x20, 0x4E, 0, 0}), 22, {0x20, 0x4E, 0, 0})},
        {"bmp of width 0", "bmp", with(good, 18, {0, 0, 0, 0})},
        {"bmp with 7 bits per pixel", "bmp", with(good, 28, {7, 0})},
        {"bmp run-length coded", "bmp", with(good, 30, {1, 0, 0, 0})},
        {"empty gif", "gif", {}},
        {"gif without magic", "gif", with(gif, 0, {'X'})},
        {"gif cut in the header", "gif", cut(gif, 8)},
        {"gif cut in the pixels", "gif", cut(gif, gif.size() - 6)},
        {"gif screen of 65535 x 65535", "gif", with(gif, 6, {0xFF, 0xFF, 0xFF, 0xFF})},
        // Found by fuzzing: a few bytes declaring a screen of 13574 x 3584 and a frame cut off.
        {"gif frame cut off on a large screen", "gif", cut(with(gif, 6, {0x06, 0x35, 0x00, 0x0E}), gif.size() - 6)},
        {"empty jpeg", "jpg", {}},
        {"jpeg without magic", "jpg", with(jpg, 0, {0})},
        {"jpeg cut in the header", "jpg", cut(jpg, sof + 4)},
        {"jpeg of 65000 x 65000", "jpeg", with(jpg, sof + 5, {0xFD, 0xE8, 0xFD, 0xE8})},
        {"jpeg of width 0", "jpg", with(jpg, sof + 7, {0, 0})},
        // Found by fuzzing: a picture of 7860 x 2889 from a few hundred bytes,
        // which libjpeg would have made up row by row for seconds.
        {"jpeg of 7860 x 2889 cut in its scan", "jpg", cut(with(jpg, sof + 5, {0x0B, 0x49, 0x1E, 0xB4}), scanData + 2)},
        {"jpeg of 7860 x 8192 whose scan stops at its end marker", "jpg", with(jpg, sof + 5, {0x20, 0x00, 0x1E, 0xB4})},
        {"unknown extension", "png", good},
        {"no extension", "", good},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(DecodePicture(c.ext, c.data.data(), c.data.size()), Error) << c.what;
    }
}

// The refusals above must not reach real pictures: every picture of the demo
// project decodes, each at its own size.
TEST(PictureDecoder, EveryDemoPictureDecodes) {
    const std::string folder = SkinDataFolder() + "../../../examples/demo/Graphics/";
    int pictures = 0;
    for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
        const TPicture picture = DecodePictureFile(folder + entry.name);
        EXPECT_GT(picture.Width, 0) << entry.name;
        EXPECT_GT(picture.Height, 0) << entry.name;
        ++pictures;
    }
    EXPECT_EQ(pictures, 13);
}

TEST(PictureDecoder, JpegWithoutItsEndMarkerStillDecodes) {
    std::vector<uint8_t> jpg = fs::ReadWholeFile(SkinDataFolder() + "halves.jpg");
    ASSERT_EQ(jpg[jpg.size() - 2], 0xFF);
    ASSERT_EQ(jpg.back(), 0xD9);
    const TPicture whole = DecodePicture("jpg", jpg.data(), jpg.size());
    jpg.resize(jpg.size() - 2);
    const TPicture cut = DecodePicture("jpg", jpg.data(), jpg.size());
    ASSERT_EQ(cut.Width, whole.Width);
    ASSERT_EQ(cut.Height, whole.Height);
    EXPECT_TRUE(std::equal(cut.Pixels.get(), cut.Pixels.get() + size_t(cut.Width) * cut.Height, whole.Pixels.get()));
}

TEST(PictureDecoder, ExtensionsAreCaseInsensitive) {
    std::vector<uint8_t> gif = fs::ReadWholeFile(SkinDataFolder() + "six.gif");
    EXPECT_EQ(DecodePicture("GIF", gif.data(), gif.size()).Width, 5);
    EXPECT_EQ(DecodePicture("Gif", gif.data(), gif.size()).Width, 5);
}

}  // namespace
}  // namespace zub
