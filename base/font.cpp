#include "base/font.h"

#include <cstdlib>

namespace zub {

int MulDivRound(int a, int b, int c) {
    if (c == 0) return 0;
    const long long product = static_cast<long long>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const long long n = std::llabs(product), d = std::llabs(static_cast<long long>(c));
    const long long q = (n + d / 2) / d;
    return static_cast<int>(negative ? -q : q);
}

int FontHeightToPoints(int32_t height, int dpi) { return MulDivRound(std::abs(height), 72, dpi); }

int32_t PointsToFontHeight(int points, int dpi) { return -MulDivRound(points, dpi, 72); }

void SetFontPoints(TFont& font, int points, int dpi) {
    const int32_t height = PointsToFontHeight(points, dpi);
    font.Height = font.Height > 0 ? -height : height;
}

TFont HeadingFont(const TFont& base, int dpi) {
    TFont heading = base;
    // Height 0 is the face's default size, which the window system makes 8 points.
    const int points = base.Height == 0 ? 8 : FontHeightToPoints(base.Height, dpi);
    SetFontPoints(heading, points + 2, dpi);
    heading.Style |= fsBold;
    return heading;
}

void LimitFontPoints(TFont& font, int maxPoints, int dpi) {
    if (FontHeightToPoints(font.Height, dpi) > maxPoints) SetFontPoints(font, maxPoints, dpi);
}

}  // namespace zub
