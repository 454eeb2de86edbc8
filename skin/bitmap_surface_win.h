// On Windows a bitmap's pixels are a top-down 32-bit DIB section, selected
// into a memory device context compatible with the screen, so they can be
// written directly and blitted with BitBlt.
#pragma once

#include <windows.h>

#include "base/handles_win.h"
#include "skin/bitmap32.h"

namespace zub {

class TBitmapSurface {
public:
    HDC DC() const { return dc_.get(); }
    HBITMAP Bitmap() const { return dib_.get(); }

private:
    friend TBitmapSurfacePtr CreateBitmapSurface(int, int, TColor32*&);
    friend struct TBitmapSurfaceDeleter;
    ~TBitmapSurface();

    GdiObject<HBITMAP> dib_;
    MemoryDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// The device context of a non-empty bitmap, for BitBlt; null when empty.
inline HDC BitmapDC(const TBitmap32& bitmap) { return bitmap.Surface() ? bitmap.Surface()->DC() : nullptr; }

}  // namespace zub
