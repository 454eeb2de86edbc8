// The font of a control: face name, colour, height in the
// window system's convention and style bits. The window layer makes the real
// font from it (ui/gdi_cache_win.h); here is what can be reckoned without a
// screen: points and heights at a given number of dots per inch.
#pragma once

#include <cstdint>
#include <string>

#include "base/color.h"

namespace zub {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
    std::string Name = "MS Sans Serif";
    TColor Color = clWindowText;
    // Negative: the character height in pixels; positive: the cell height
    // (character height plus internal leading); 0: the face's default.
    int32_t Height = -11;  // 8 points at 96 dpi
    unsigned Style = 0;    // TFontStyle bits

    bool operator==(const TFont& o) const {
        return Name == o.Name && Color == o.Color && Height == o.Height && Style == o.Style;
    }
    bool operator!=(const TFont& o) const { return !(*this == o); }
};

constexpr int kDefaultDpi = 96;

// a * b / c rounded to the nearest integer, halves away from zero (as the
// window system's MulDiv); 0 when c is 0.
int MulDivRound(int a, int b, int c);

// The size in points of a font height at `dpi`. A cell height is taken as
// if it were the character height; the sign of the height is not a size.
int FontHeightToPoints(int32_t height, int dpi = kDefaultDpi);
// The character height (negative) of a size in points at `dpi`.
int32_t PointsToFontHeight(int points, int dpi = kDefaultDpi);

// Sets the size in points, keeping the kind of height (character or cell).
void SetFontPoints(TFont& font, int points, int dpi = kDefaultDpi);

// A heading's font: two points larger than `base`, with bold added.
TFont HeadingFont(const TFont& base, int dpi = kDefaultDpi);

// Lowers the size to `maxPoints` when it is larger; a smaller font stays.
void LimitFontPoints(TFont& font, int maxPoints, int dpi = kDefaultDpi);

}  // namespace zub
