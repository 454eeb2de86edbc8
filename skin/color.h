// Windows colour values (0x00BBGGRR, or 0x80000000 + i for system colour i)
// turned into opaque skin pixels (0xFFRRGGBB).
#pragma once

#include <cstdint>
#include <functional>

#include "skin/bitmap32.h"

namespace zub {

// Gives the 0x00BBGGRR value of system colour `index`.
using TSysColorLookup = std::function<uint32_t(int index)>;

// The platform's system colours: GetSysColor on Windows, the classic
// Windows scheme natively.
uint32_t PlatformSysColor(int index);

TColor32 WinColorToColor32(int32_t color, const TSysColorLookup& lookup);
inline TColor32 WinColorToColor32(int32_t color) { return WinColorToColor32(color, PlatformSysColor); }

constexpr int kColorBtnFace = 15;  // COLOR_BTNFACE
constexpr int32_t kClBtnFace = static_cast<int32_t>(0x80000000u + kColorBtnFace);

}  // namespace zub
