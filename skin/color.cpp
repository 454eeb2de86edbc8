#include "skin/color.h"

namespace zub {

TColor32 WinColorToColor32(int32_t color, const TSysColorLookup& lookup) {
    uint32_t value = ColorToRGB(color, lookup);
    uint32_t r = value & 0xFF, g = (value >> 8) & 0xFF, b = (value >> 16) & 0xFF;
    return 0xFF000000u | r << 16 | g << 8 | b;
}

}  // namespace zub
