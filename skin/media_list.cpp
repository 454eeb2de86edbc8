#include "skin/media_list.h"

#include <exception>

#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

}  // namespace

void MakeNoImage(TBitmap32& bitmap) {
    // A light grey card with a dark frame and a red cross: plainly "no picture",
    // and of no colour a skin would use as its key.
    const int n = kNoImageSize;
    bitmap.BeginUpdate();
    bitmap.SetSize(n, n);
    bitmap.Clear(0xFFE0E0E0u);
    bitmap.FillRect(0, 0, n, 2, 0xFF404040u);
    bitmap.FillRect(0, n - 2, n, n, 0xFF404040u);
    bitmap.FillRect(0, 0, 2, n, 0xFF404040u);
    bitmap.FillRect(n - 2, 0, n, n, 0xFF404040u);
    for (int i = 12; i < n - 12; ++i) {
        bitmap.FillRect(i - 2, i - 2, i + 2, i + 2, 0xFFC02020u);
        bitmap.FillRect(n - 1 - i - 2, i - 2, n - 1 - i + 2, i + 2, 0xFFC02020u);
    }
    bitmap.EndUpdate();
}

KMediaList::KMediaList() { MakeNoImage(noImage_); }

void KMediaList::Load(TBitmap32& picture, const std::string& name) const {
    try {
        if (fs::FileExists(name)) {
            picture.LoadFromFile(name);
            return;
        }
        if (fs::FileExists(MediaBaseFolder + name)) {
            picture.LoadFromFile(MediaBaseFolder + name);
            return;
        }
    } catch (const std::exception&) {
        // missing, no decoder, or damaged: the placeholder stands in, silently
    }
    picture.AssignBitmap(noImage_);
}

const TBitmap32& KMediaList::GetImage(const std::string& name) {
    for (TEntry& entry : entries_) {
        if (SameName(entry.name, name)) {
            ++entry.useCount;
            return *entry.picture;
        }
    }
    auto picture = std::make_unique<TBitmap32>();
    Load(*picture, name);
    entries_.push_back({name, std::move(picture), 0});
    return *entries_.back().picture;
}

void KMediaList::RemoveImage(size_t index) { entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(index)); }

void KMediaList::PurgeImages() {
    for (size_t i = entries_.size(); i-- > 0;) {
        if (entries_[i].useCount > 2) entries_[i].useCount = 0;
        else RemoveImage(i);
    }
}

}  // namespace zub
