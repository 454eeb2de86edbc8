// Natively a bitmap's pixels are a plain zeroed buffer.
#include <new>

#include "base/error.h"
#include "skin/bitmap32.h"

namespace zub {

class TBitmapSurface {
public:
    explicit TBitmapSurface(size_t count) : pixels(new TColor32[count]()) {}
    std::unique_ptr<TColor32[]> pixels;
};

void TBitmapSurfaceDeleter::operator()(TBitmapSurface* surface) const { delete surface; }

TBitmapSurfacePtr CreateBitmapSurface(int width, int height, TColor32*& bits) {
    try {
        TBitmapSurfacePtr surface(new TBitmapSurface(static_cast<size_t>(width) * height));
        bits = surface->pixels.get();
        return surface;
    } catch (const std::bad_alloc&) {
        throw Error(kAllocDibMessage);
    }
}

}  // namespace zub
