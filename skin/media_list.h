// KMediaList: the program's image cache. It decodes each picture file once
// and keeps it, in the order of first request, under the name as requested
// (looked up without regard to case). A picture that cannot be loaded is
// replaced by the placeholder, which is cached under the requested name too.
// The purge tick (a 60000 ms timer on Windows, see media_timer_win.h) keeps
// only the entries fetched at least three times since the previous purge.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/bitmap32.h"

namespace zub {

// The built-in 100 x 100 placeholder picture.
void MakeNoImage(TBitmap32& bitmap);
constexpr int kNoImageSize = 100;

class KMediaList {
public:
    static constexpr unsigned kPurgeIntervalMs = 60000;

    KMediaList();
    KMediaList(const KMediaList&) = delete;
    KMediaList& operator=(const KMediaList&) = delete;

    // The cached picture, loaded on first request; never fails. Owned by the
    // cache: copy it at once and keep no reference.
    const TBitmap32& GetImage(const std::string& name);
    void RemoveImage(size_t index);
    void PurgeImages();
    void TimerTimer() { PurgeImages(); }

    size_t Count() const { return entries_.size(); }
    const std::string& Name(size_t index) const { return entries_[index].name; }
    int UseCount(size_t index) const { return entries_[index].useCount; }
    const TBitmap32& NoImage() const { return noImage_; }

    // Put in front of a name that is not found as requested; empty in the setup.
    std::string MediaBaseFolder;

private:
    struct TEntry {
        std::string name;
        std::unique_ptr<TBitmap32> picture;
        int useCount = 0;
    };
    void Load(TBitmap32& picture, const std::string& name) const;

    std::vector<TEntry> entries_;
    TBitmap32 noImage_;
};

}  // namespace zub
