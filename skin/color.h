// Windows colour values (0x00BBGGRR, or 0x80000000 + i for system colour i)
// turned into opaque skin pixels (0xFFRRGGBB).
#pragma once

#include <cstdint>

#include "skin/bitmap32.h"
#include "base/color.h"

namespace zub {

TColor32 WinColorToColor32(int32_t color, const TSysColorLookup& lookup);
inline TColor32 WinColorToColor32(int32_t color) { return WinColorToColor32(color, PlatformSysColor); }

constexpr int kColorBtnFace = 15;  // COLOR_BTNFACE
constexpr int32_t kClBtnFace = clBtnFace;

}  // namespace zub
