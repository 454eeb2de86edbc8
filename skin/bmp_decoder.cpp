// Device-independent bitmap files: a 14-byte file header, then a core (12
// bytes) or info header (40 bytes or more), palette, and the rows, each padded
// to 4 bytes; bottom-up unless the height is negative. Every field is read by
// itself, little-endian, and every offset is checked against the file.
#include "base/error.h"
#include "base/little_endian.h"
#include "skin/picture_decoder.h"

namespace zub {
namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

struct TBmpHeader {
    int64_t width = 0, height = 0;
    bool topDown = false;
    uint32_t bitCount = 0, compression = kBiRgb, colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    size_t paletteAt = 0, paletteEntrySize = 4, bitsAt = 0;
};

TBmpHeader ReadHeader(const TByteReader& in) {
    if (in.U16(0) != 0x4D42) throw Error(kInvalidPictureMessage);  // "BM"
    TBmpHeader h;
    h.bitsAt = in.U32(10);
    uint32_t infoSize = in.U32(14);
    if (infoSize == 12) {  // core header: 16-bit sizes, 3-byte palette entries
        h.width = in.U16(18);
        h.height = in.U16(20);
        h.bitCount = in.U16(24);
        h.paletteEntrySize = 3;
    } else if (infoSize >= 40) {
        h.width = static_cast<int32_t>(in.U32(18));
        int32_t height = static_cast<int32_t>(in.U32(22));
        h.topDown = height < 0;
        h.height = h.topDown ? -int64_t(height) : height;
        h.bitCount = in.U16(28);
        h.compression = in.U32(30);
        h.colorsUsed = in.U32(46);
        if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
            // The masks follow a 40-byte header; longer headers hold them in place.
            int count = h.compression == kBiAlphaBitfields || infoSize >= 56 ? 4 : 3;
            for (int i = 0; i < count; ++i) h.masks[i] = in.U32(54 + 4 * i);
            if (infoSize == 40) infoSize += 4 * count;
        }
    } else {
        throw Error(kInvalidPictureMessage);
    }
    h.paletteAt = 14 + size_t(infoSize);
    CheckPictureSize(h.width, h.height);
    return h;
}

// A channel of a bit-field pixel scaled to 8 bits.
struct TChannel {
    uint32_t mask = 0;
    int shift = 0, bits = 0;
    explicit TChannel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!(m & 1)) m >>= 1, ++shift;
        while (m & 1) m >>= 1, ++bits;
    }
    uint32_t Get(uint32_t pixel) const {
        if (!mask) return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        return v * 255 / ((1u << bits) - 1);
    }
};

TPicture Decode(const TByteReader& in, const TBmpHeader& h) {
    const uint32_t bpp = h.bitCount;
    const bool paletted = bpp == 1 || bpp == 4 || bpp == 8;
    const bool fields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
    if (!(paletted || bpp == 16 || bpp == 24 || bpp == 32)) throw Error(kInvalidPictureMessage);
    if (h.compression != kBiRgb && !(fields && (bpp == 16 || bpp == 32))) throw Error(kInvalidPictureMessage);

    TColor32 palette[256] = {};
    if (paletted) {
        uint32_t count = h.colorsUsed ? h.colorsUsed : 1u << bpp;
        if (count > 1u << bpp) count = 1u << bpp;
        const uint8_t* entries = in.Bytes(h.paletteAt, count * h.paletteEntrySize);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = entries + i * h.paletteEntrySize;
            palette[i] = TColor32(e[2]) << 16 | e[1] << 8 | e[0];
        }
    }
    uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (!fields && bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);

    const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
    const size_t stride = ((size_t(width) * bpp + 31) / 32) * 4;
    const uint8_t* bits = in.Bytes(h.bitsAt, stride * height);

    TPicture picture;
    picture.Width = width;
    picture.Height = height;
    picture.HasAlpha = bpp == 32 && (!fields || masks[3] != 0);
    picture.Pixels.reset(new TColor32[size_t(width) * height]);
    for (int row = 0; row < height; ++row) {
        const uint8_t* src = bits + stride * row;
        TColor32* dst = picture.Pixels.get() + size_t(h.topDown ? row : height - 1 - row) * width;
        for (int x = 0; x < width; ++x) {
            switch (bpp) {
                case 1: dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
                case 4: dst[x] = palette[(src[x >> 1] >> (x & 1 ? 0 : 4)) & 15]; break;
                case 8: dst[x] = palette[src[x]]; break;
                case 24: dst[x] = TColor32(src[3 * x + 2]) << 16 | src[3 * x + 1] << 8 | src[3 * x]; break;
                default: {
                    const uint32_t v = bpp == 16 ? LoadLe16(src + 2 * x) : LoadLe32(src + 4 * x);
                    if (bpp == 32 && !fields) dst[x] = v;
                    else dst[x] = alpha.Get(v) << 24 | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
                }
            }
        }
    }
    return picture;
}

}  // namespace

TPicture DecodeBmp(const uint8_t* data, size_t size) {
    const TByteReader in(data, size, kInvalidPictureMessage);
    return Decode(in, ReadHeader(in));
}

}  // namespace zub
