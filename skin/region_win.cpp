#include "skin/region_win.h"

#include <vector>

#include "base/error.h"
#include "base/timeline.h"
#include "skin/region.h"

namespace zub {
namespace {

// Collects rectangles into one reused RGNDATA buffer and turns each full
// buffer into a region. The chunk regions are combined like a binary
// counter (two of the same level make one of the next), so each rectangle
// takes part in O(log chunks) combinations instead of one per later chunk.
class TRegionBuilder {
public:
    TRegionBuilder(int width, int height, size_t chunk)
        : width_(width), height_(height), chunk_(chunk), data_(kRegionHeaderSize + kRegionRectSize * chunk) {}

    void Add(int x0, int x1, int y) {
        if (count_ == chunk_) Flush();
        WriteRegionRect(data_.data() + kRegionHeaderSize + kRegionRectSize * count_, {x0, y, x1, y + 1});
        ++count_;
    }

    GdiObject<HRGN> Finish() {
        if (count_ > 0 || levels_.empty()) Flush();
        GdiObject<HRGN> result = std::move(levels_.back().region);
        for (size_t i = levels_.size() - 1; i-- > 0;) result = Combine(std::move(levels_[i].region), std::move(result));
        return result;
    }

private:
    struct TLevel {
        GdiObject<HRGN> region;
        int level;
    };

    void Flush() {
        WriteRegionHeader(data_.data(), static_cast<uint32_t>(count_), width_, height_);
        GdiObject<HRGN> region(ExtCreateRegion(nullptr, static_cast<DWORD>(kRegionHeaderSize + kRegionRectSize * count_),
                                               reinterpret_cast<const RGNDATA*>(data_.data())));
        if (!region.valid()) throw Error("Can't create the window region");
        count_ = 0;
        int level = 0;
        while (!levels_.empty() && levels_.back().level == level) {
            region = Combine(std::move(levels_.back().region), std::move(region));
            levels_.pop_back();
            ++level;
        }
        levels_.push_back({std::move(region), level});
    }

    static GdiObject<HRGN> Combine(GdiObject<HRGN> a, GdiObject<HRGN> b) {
        if (CombineRgn(a.get(), a.get(), b.get(), RGN_OR) == ERROR) throw Error("Can't create the window region");
        return a;
    }

    int width_, height_;
    size_t chunk_, count_ = 0;
    std::vector<uint8_t> data_;
    std::vector<TLevel> levels_;
};

}  // namespace

GdiObject<HRGN> BitmapToRegion(const TBitmap32& bitmap, int threshold, size_t chunkRects) {
    timeline::TStep step("region built");
    TRegionBuilder builder(bitmap.Width(), bitmap.Height(), chunkRects);
    ScanSolidRuns(bitmap, threshold, [&](int x0, int x1, int y) { builder.Add(x0, x1, y); });
    return builder.Finish();
}

}  // namespace zub
