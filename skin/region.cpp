#include "skin/region.h"

namespace zub {
namespace {

void Put32(uint8_t* out, uint32_t v) {
    out[0] = uint8_t(v), out[1] = uint8_t(v >> 8), out[2] = uint8_t(v >> 16), out[3] = uint8_t(v >> 24);
}

}  // namespace

std::vector<TRegionRect> BitmapToRects(const TBitmap32& bitmap, int threshold) {
    std::vector<TRegionRect> rects;
    ScanSolidRuns(bitmap, threshold, [&](int x0, int x1, int y) { rects.push_back({x0, y, x1, y + 1}); });
    return rects;
}

void WriteRegionHeader(uint8_t* out, uint32_t count, int width, int height) {
    const uint32_t fields[] = {32, 1, count, 0, 0, 0, uint32_t(width), uint32_t(height)};
    for (int i = 0; i < 8; ++i) Put32(out + 4 * i, fields[i]);
}

}  // namespace zub
