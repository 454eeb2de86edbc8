#include "skin/bitmap32.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "base/timeline.h"
#include "skin/picture_decoder.h"

namespace zub {
namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

}  // namespace

const char kAllocDibMessage[] = "Can't allocate the DIB handle";
const char kCreateDcMessage[] = "Can't create compatible DC";
const char kSelectObjectMessage[] = "Can't select an object into DC";

TBitmap32::TBitmap32() = default;

TBitmap32::~TBitmap32() { ReleaseSurface(); }

void TBitmap32::ReleaseSurface() {
    surface_.reset();
    bits_ = nullptr;
}

bool TBitmap32::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return false;
    ReleaseSurface();
    width_ = width;
    height_ = height;
    try {
        if (width > 0 && height > 0) {
            if (width > kMaxBitmapSide || height > kMaxBitmapSide || int64_t(width) * height > kMaxBitmapPixels)
                throw Error(kAllocDibMessage);
            surface_ = CreateBitmapSurface(width, height, bits_);
        }
    } catch (...) {
        // The bitmap stays empty, and its users still hear of the change.
        ReleaseSurface();
        width_ = height_ = 0;
        Changed();
        if (OnResize) OnResize();
        throw;
    }
    Changed();
    if (OnResize) OnResize();
    return true;
}

void TBitmap32::Clear(TColor32 value) {
    if (IsEmpty()) return;
    std::fill(bits_, bits_ + PixelCount(), value);
    Changed();
}

void TBitmap32::FillRect(int x1, int y1, int x2, int y2, TColor32 value) {
    x1 = Clamp(x1, 0, width_);
    x2 = Clamp(x2, 0, width_);
    y1 = Clamp(y1, 0, height_);
    y2 = Clamp(y2, 0, height_);
    if (x1 >= x2 || y1 >= y2) return;
    for (int y = y1; y < y2; ++y) std::fill(ScanLine(y) + x1, ScanLine(y) + x2, value);
}

void TBitmap32::ResetAlpha() {
    for (size_t i = 0, n = PixelCount(); i < n; ++i) bits_[i] |= 0xFF000000u;
    Changed();
}

void TBitmap32::DrawTo(TBitmap32& target) const {
    if (IsEmpty() || target.IsEmpty()) return;
    int w = std::min(width_, target.width_);
    int h = std::min(height_, target.height_);
    for (int y = 0; y < h; ++y) std::memcpy(target.ScanLine(y), ScanLine(y), sizeof(TColor32) * w);
    target.Changed();
}

void TBitmap32::DrawTo(TBitmap32& target, const TRect32& rect) const {
    if (IsEmpty() || target.IsEmpty() || rect.IsEmpty()) return;
    if (rect.Width() == width_ && rect.Height() == height_) {
        // 1:1, the case of every skin picture on screen: row copies.
        int x0 = Clamp(rect.Left, 0, target.width_), x1 = Clamp(rect.Right, 0, target.width_);
        int y0 = Clamp(rect.Top, 0, target.height_), y1 = Clamp(rect.Bottom, 0, target.height_);
        for (int y = y0; y < y1 && x0 < x1; ++y)
            std::memcpy(target.ScanLine(y) + x0, ScanLine(y - rect.Top) + (x0 - rect.Left),
                        sizeof(TColor32) * (x1 - x0));
        target.Changed();
        return;
    }
    // Nearest neighbour: destination pixel d takes source pixel floor((d + 0.5) * src / dst).
    int x0 = Clamp(rect.Left, 0, target.width_), x1 = Clamp(rect.Right, 0, target.width_);
    int y0 = Clamp(rect.Top, 0, target.height_), y1 = Clamp(rect.Bottom, 0, target.height_);
    const int64_t dw = rect.Width(), dh = rect.Height();
    for (int y = y0; y < y1; ++y) {
        int sy = static_cast<int>(((2 * int64_t(y - rect.Top) + 1) * height_) / (2 * dh));
        const TColor32* src = ScanLine(sy);
        TColor32* dst = target.ScanLine(y);
        for (int x = x0; x < x1; ++x)
            dst[x] = src[static_cast<int>(((2 * int64_t(x - rect.Left) + 1) * width_) / (2 * dw))];
    }
    target.Changed();
}

void TBitmap32::AssignBitmap(const TBitmap32& source) {
    {
        TBitmapUpdate update(*this);
        SetSize(source.width_, source.height_);
        if (!IsEmpty()) std::memcpy(bits_, source.bits_, sizeof(TColor32) * PixelCount());
        DrawMode = source.DrawMode;
        MasterAlpha = source.MasterAlpha;
        OuterColor = source.OuterColor;
        StretchFilter = source.StretchFilter;
    }
    Changed();
}

void TBitmap32::AssignPicture(const TPicture& picture) {
    {
        TBitmapUpdate update(*this);
        SetSize(picture.Width, picture.Height);
        if (!IsEmpty()) {
            std::memcpy(bits_, picture.Pixels.get(), sizeof(TColor32) * PixelCount());
            if (!picture.HasAlpha) ResetAlpha();
        }
    }
    Changed();
}

void TBitmap32::LoadFromFile(const std::string& fileName) {
    timeline::TStep step("picture decoded");
    AssignPicture(DecodePictureFile(fileName));
}

void TBitmap32::Changed() {
    if (updateCount_ <= 0 && OnChange) OnChange();
}

void TBitmap32::Lock() {
    lock_.lock();
    ++lockCount_;
}

void TBitmap32::Unlock() {
    --lockCount_;
    lock_.unlock();
}

}  // namespace zub
