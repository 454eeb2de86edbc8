#include "skin/region.h"

#include "base/little_endian.h"

namespace zub {

std::vector<TRegionRect> BitmapToRects(const TBitmap32& bitmap, int threshold) {
    std::vector<TRegionRect> rects;
    ScanSolidRuns(bitmap, threshold, [&](int x0, int x1, int y) { rects.push_back({x0, y, x1, y + 1}); });
    return rects;
}

void WriteRegionHeader(uint8_t* out, uint32_t count, int width, int height) {
    const uint32_t fields[] = {32, 1, count, 0, 0, 0, uint32_t(width), uint32_t(height)};
    for (int i = 0; i < 8; ++i) StoreLe32(out + 4 * i, fields[i]);
}

void WriteRegionRect(uint8_t* out, const TRegionRect& rect) {
    const int32_t fields[] = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    for (int i = 0; i < 4; ++i) StoreLe32(out + 4 * i, uint32_t(fields[i]));
}

}  // namespace zub
