// Window regions from skin pictures (see region.h for the rectangles).
#pragma once

#include <windows.h>

#include "base/handles_win.h"
#include "skin/bitmap32.h"

namespace zub {

// Rectangles per ExtCreateRegion call. A picture with more runs is built in
// chunks of this many, combined with CombineRgn, so the region data stays
// bounded (4 KiB) however noisy the picture is. Small chunks are also far
// faster under Wine, whose ExtCreateRegion grows worse than linearly.
constexpr size_t kRegionChunkRects = 256;

// The region of the pixels whose alpha exceeds the low byte of threshold;
// for a non-empty bitmap. Raises zub::Error when the system cannot make it.
GdiObject<HRGN> BitmapToRegion(const TBitmap32& bitmap, int threshold, size_t chunkRects = kRegionChunkRects);

}  // namespace zub
