// TBitmap32: the 32-bit ARGB pixel surface of the skin. Pixel words are
// 0xAARRGGBB (bytes B, G, R, A in memory), rows top-down. The pixels live in a
// platform surface: a DIB section with its memory device context on Windows
// (so the bitmap can be blitted), a plain buffer elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/scoped.h"
#include "ui/events.h"

namespace zub {

using TColor32 = uint32_t;

enum class TDrawMode { dmOpaque, dmBlend, dmCustom };
enum class TStretchFilter { sfNearest, sfLinear, sfLinear2, sfSpline };

struct TRect32 {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect32& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

// A decoded picture, as the decoders deliver it.
struct TPicture {
    int Width = 0, Height = 0;
    std::unique_ptr<TColor32[]> Pixels;  // Width * Height, top row first
    bool HasAlpha = false;               // a 32-bit bitmap keeps its alpha; all others become opaque
};

// The memory behind a bitmap's pixels; defined per platform.
class TBitmapSurface;
struct TBitmapSurfaceDeleter {
    void operator()(TBitmapSurface* surface) const;
};
using TBitmapSurfacePtr = std::unique_ptr<TBitmapSurface, TBitmapSurfaceDeleter>;

class TBitmap32 {
public:
    TBitmap32();
    ~TBitmap32();
    TBitmap32(const TBitmap32&) = delete;
    TBitmap32& operator=(const TBitmap32&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return bits_ == nullptr; }

    // Sizes below 1 count as 0. False (and no signal) when the size is unchanged;
    // otherwise new zeroed pixels, Changed and OnResize. Raises zub::Error with
    // one of the allocation messages, leaving the bitmap empty.
    bool SetSize(int width, int height);

    // No bounds checks: callers stay inside the bitmap.
    TColor32 Pixel(int x, int y) const { return bits_[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, TColor32 value) { bits_[static_cast<size_t>(y) * width_ + x] = value; }
    TColor32* ScanLine(int y) { return bits_ + static_cast<size_t>(y) * width_; }
    const TColor32* ScanLine(int y) const { return bits_ + static_cast<size_t>(y) * width_; }
    TColor32* Bits() { return bits_; }
    const TColor32* Bits() const { return bits_; }
    size_t PixelCount() const { return static_cast<size_t>(width_) * height_; }

    void Clear(TColor32 value);
    // Pixels with x1 <= x < x2 and y1 <= y < y2, clipped to the bitmap.
    void FillRect(int x1, int y1, int x2, int y2, TColor32 value);
    void ResetAlpha();

    // Opaque copy of the whole bitmap to (0, 0) of target, clipped; then target.Changed.
    void DrawTo(TBitmap32& target) const;
    // The whole bitmap stretched (nearest neighbour) into rect of target,
    // clipped to the target; then target.Changed.
    void DrawTo(TBitmap32& target, const TRect32& rect) const;

    // Size, pixels and draw settings of source; one Changed at the end.
    void AssignBitmap(const TBitmap32& source);
    // Takes a decoded picture; an empty picture leaves the bitmap empty.
    void AssignPicture(const TPicture& picture);
    // Decodes the file by its extension; decoder errors reach the caller.
    void LoadFromFile(const std::string& fileName);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() { --updateCount_; }
    int UpdateCount() const { return updateCount_; }
    void Changed();

    // Taken around painting: the bitmap's own lock, reentrant and counted.
    void Lock();
    void Unlock();
    int LockCount() const { return lockCount_; }

    TBitmapSurface* Surface() const { return surface_.get(); }

    TDrawMode DrawMode = TDrawMode::dmOpaque;
    TStretchFilter StretchFilter = TStretchFilter::sfNearest;
    uint32_t MasterAlpha = 255;
    TColor32 OuterColor = 0;
    TNotifyEvent OnChange;
    TNotifyEvent OnResize;

private:
    void ReleaseSurface();

    TBitmapSurfacePtr surface_;
    TColor32* bits_ = nullptr;
    int width_ = 0, height_ = 0;
    int updateCount_ = 0;
    std::recursive_mutex lock_;
    int lockCount_ = 0;  // changed only while lock_ is held
};

// Holds the bitmap's lock for a scope.
using TBitmapLock = TScoped<TBitmap32, &TBitmap32::Lock, &TBitmap32::Unlock>;

// The largest picture the skin takes: every side and the pixel total are
// checked before pixel memory is allocated.
constexpr int kMaxBitmapSide = 16384;
constexpr int64_t kMaxBitmapPixels = int64_t(1) << 26;  // 256 MiB of pixels

// The platform part: makes the surface for width x height (both positive) and
// returns its pixel memory, zeroed. Raises zub::Error with the allocation messages.
TBitmapSurfacePtr CreateBitmapSurface(int width, int height, TColor32*& bits);

extern const char kAllocDibMessage[];
extern const char kCreateDcMessage[];
extern const char kSelectObjectMessage[];

// Holds a bitmap's change notifications back for a scope, also when an
// exception leaves it; the caller announces the change afterwards.
using TBitmapUpdate = TScoped<TBitmap32, &TBitmap32::BeginUpdate, &TBitmap32::EndUpdate>;

}  // namespace zub
