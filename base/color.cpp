#include "base/color.h"

namespace zub {

uint32_t ColorToRGB(TColor color, const TSysColorLookup& lookup) {
    if (IsSystemColor(color)) return lookup(SystemColorIndex(color)) & 0xFFFFFF;
    return static_cast<uint32_t>(color) & 0xFFFFFF;
}

}  // namespace zub
