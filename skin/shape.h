// The outline a skinned window is cut to. Stored as a byte: a code not named
// here gives a rectangle.
#pragma once

#include <cstdint>

namespace zub {

enum class TShape : uint8_t {
    shRectangle = 0,
    shEllipse = 1,
    shRoundRect = 2,    // corner ellipses of the window's corner size
    shNoRegion = 3,     // the window is not clipped
    shBitmapAlpha = 4,  // the pixels whose alpha is above the threshold (a rectangle while there are none)
};

}  // namespace zub
