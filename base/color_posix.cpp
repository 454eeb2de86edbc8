// The classic Windows colour scheme, for native builds and tests.
#include "base/color.h"

namespace zub {

uint32_t PlatformSysColor(int index) {
    static const uint32_t kScheme[] = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF6633, 0xF0F0F0,
    };
    if (index < 0 || index >= static_cast<int>(sizeof kScheme / sizeof kScheme[0])) return 0;
    return kScheme[index];
}

}  // namespace zub
