#include "skin/skin_window_win.h"

#include "skin/bitmap_surface_win.h"
#include "skin/color.h"
#include "skin/region_win.h"

namespace zub {

TSize32 ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

namespace {

// BeginPaint and EndPaint as a pair, also when painting throws.
class TPaintScope {
public:
    explicit TPaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~TPaintScope() { EndPaint(window_, &ps_); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace

void PaintWindow(HWND window, TPaintEngine& engine, int32_t color) {
    TPaintScope paint(window);
    TSize32 size = ClientSize(window);
    PaintToDC(engine, paint.dc(), size.Width, size.Height, color);
}

void PaintToDC(TPaintEngine& engine, HDC dc, int w, int h, int32_t color) {
    engine.ResizeBuffer(w, h);
    if (!engine.BufferValid) engine.PaintBuffer(w, h, WinColorToColor32(color));
    if (engine.Buffer.IsEmpty()) return;
    TBitmapLock lock(engine.Buffer);
    BitBlt(dc, 0, 0, w, h, BitmapDC(engine.Buffer), 0, 0, SRCCOPY);
}

void ApplyWindowShape(HWND window, const TShapeParams& shape, const TBitmap32& bitmap) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    GdiObject<HRGN> region;
    switch (shape.Shape) {
        case TShape::shEllipse: region.reset(CreateEllipticRgn(0, 0, w, h)); break;
        case TShape::shRoundRect: region.reset(CreateRoundRectRgn(0, 0, w, h, shape.Corner, shape.Corner)); break;
        case TShape::shNoRegion: break;
        case TShape::shBitmapAlpha:
            if (!bitmap.IsEmpty()) {
                region = BitmapToRegion(bitmap, shape.AlphaThreshold);
                break;
            }
            [[fallthrough]];
        default: region.reset(CreateRectRgn(0, 0, w, h)); break;
    }
    if (SetWindowRgn(window, region.get(), TRUE)) region.release();
}

}  // namespace zub
