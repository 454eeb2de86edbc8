// What the skinned form and the skinned frame share on Windows: painting the
// off-screen buffer to a device context, and window shapes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/handles_win.h"
#include "skin/paint_engine.h"
#include "skin/shape.h"

namespace zub {

// The client size of a window (the whole window for a borderless one).
TSize32 ClientSize(HWND window);

// Brings the buffer up to date for the viewport (w, h) and blits it to dc at (0, 0).
void PaintToDC(TPaintEngine& engine, HDC dc, int w, int h, int32_t color);
// Answers WM_PAINT for a skinned window: the whole client area from the buffer.
void PaintWindow(HWND window, TPaintEngine& engine, int32_t color);

struct TShapeParams {
    TShape Shape = TShape::shRectangle;
    int AlphaThreshold = 0;
    int Corner = 10;
};
// Cuts the window to the shape; the window system owns the region afterwards.
void ApplyWindowShape(HWND window, const TShapeParams& shape, const TBitmap32& bitmap);

}  // namespace zub
