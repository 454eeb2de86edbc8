#include "skin/bitmap_surface_win.h"

#include "base/error.h"

namespace zub {

TBitmapSurface::~TBitmapSurface() {
    // The DIB section must leave the device context before either is deleted.
    if (dc_.valid() && previous_) SelectObject(dc_.get(), previous_);
}

void TBitmapSurfaceDeleter::operator()(TBitmapSurface* surface) const { delete surface; }

TBitmapSurfacePtr CreateBitmapSurface(int width, int height, TColor32*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    TBitmapSurfacePtr surface(new TBitmapSurface);
    void* memory = nullptr;
    surface->dib_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
    if (!surface->dib_.valid() || !memory) throw Error(kAllocDibMessage);
    surface->dc_.reset(CreateCompatibleDC(nullptr));
    if (!surface->dc_.valid()) throw Error(kCreateDcMessage);
    surface->previous_ = SelectObject(surface->dc_.get(), surface->dib_.get());
    if (!surface->previous_) throw Error(kSelectObjectMessage);
    bits = static_cast<TColor32*>(memory);
    return surface;
}

}  // namespace zub
