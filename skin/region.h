// The window region of a skin picture: one rectangle per run of solid pixels
// in a row (alpha above the threshold), one pixel row high, rows top to
// bottom, runs left to right; runs of neighbouring rows are not merged.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/bitmap32.h"

namespace zub {

struct TRegionRect {
    int32_t Left, Top, Right, Bottom;  // right and bottom exclusive
    bool operator==(const TRegionRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

// Calls sink(x0, x1, y) for every solid run [x0, x1) of row y, in order. Only
// the low 8 bits of threshold count; solid means alpha > threshold.
template <class Sink>
void ScanSolidRuns(const TBitmap32& bitmap, int threshold, Sink&& sink) {
    // alpha > t exactly when the whole word is above t's alpha with all colour bits set.
    const TColor32 limit = TColor32(threshold & 0xFF) << 24 | 0x00FFFFFFu;
    const int width = bitmap.Width();
    for (int y = 0, height = bitmap.Height(); y < height; ++y) {
        const TColor32* row = bitmap.ScanLine(y);
        int x = 0;
        for (;;) {
            while (x < width && row[x] <= limit) ++x;
            if (x == width) break;
            const int x0 = x;
            while (x < width && row[x] > limit) ++x;
            sink(x0, x, y);
        }
    }
}

std::vector<TRegionRect> BitmapToRects(const TBitmap32& bitmap, int threshold);

// Region data (RGNDATA) is a 32-byte header and 16 bytes per rectangle.
constexpr size_t kRegionHeaderSize = 32;
constexpr size_t kRegionRectSize = 16;
// Writes the header: 32, 1 (rectangles), count, 0, bounds (0, 0, width, height).
void WriteRegionHeader(uint8_t* out, uint32_t count, int width, int height);
// Writes one rectangle: left, top, right, bottom.
void WriteRegionRect(uint8_t* out, const TRegionRect& rect);

}  // namespace zub
