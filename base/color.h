// Colour values of the window system: 0x00BBGGRR (red in the low byte), or
// 0x80000000 + i for the system colour i, which is looked up when used, so a
// change of the system's scheme reaches every control that names it.
#pragma once

#include <cstdint>
#include <functional>

namespace zub {

using TColor = int32_t;

constexpr TColor kSystemColorFlag = INT32_MIN;
constexpr TColor SystemColor(int index) { return kSystemColorFlag + index; }

constexpr TColor clBlack = 0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindow = SystemColor(5);       // COLOR_WINDOW
constexpr TColor clWindowText = SystemColor(8);   // COLOR_WINDOWTEXT
constexpr TColor clBtnFace = SystemColor(15);     // COLOR_BTNFACE
constexpr TColor clBtnText = SystemColor(18);     // COLOR_BTNTEXT
// Not a colour: "take the parent's". Never resolved to a colour itself.
constexpr TColor clDefault = 0x20000000;

constexpr bool IsSystemColor(TColor color) { return color < 0; }
constexpr int SystemColorIndex(TColor color) { return static_cast<int>(static_cast<uint32_t>(color) & 0xFF); }

// Gives the 0x00BBGGRR value of system colour `index`.
using TSysColorLookup = std::function<uint32_t(int index)>;

// The platform's system colours: GetSysColor on Windows, the classic
// Windows scheme natively.
uint32_t PlatformSysColor(int index);

// The 0x00BBGGRR value of a colour: system colours through the lookup,
// explicit colours with their top byte cleared.
uint32_t ColorToRGB(TColor color, const TSysColorLookup& lookup);
inline uint32_t ColorToRGB(TColor color) { return ColorToRGB(color, PlatformSysColor); }

}  // namespace zub
