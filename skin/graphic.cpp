#include "skin/graphic.h"

#include "skin/media_list.h"

namespace zub {

void ApplyColorKey(TBitmap32& bitmap, TColor32 key) {
    const TColor32 rgb = key & 0x00FFFFFFu;
    TColor32* p = bitmap.Bits();
    for (size_t i = 0, n = bitmap.PixelCount(); i < n; ++i) {
        const TColor32 c = p[i] & 0x00FFFFFFu;
        p[i] = c == rgb ? c : c | 0xFF000000u;
    }
}

void KGraphic::Modified(bool dirty) {
    if (dirty) dirtyFlags_ = kAllDirty;
    if (OnChange) OnChange();
}

void KGraphic::SetFileName(const std::string& name) {
    if (name.empty() || name == fileName_) return;
    fileName_ = name;
    Modified(true);
}

void KGraphic::SetTransparencyMode(TTransparencyMode mode) {
    if (mode == transparencyMode_) return;
    transparencyMode_ = mode;
    Modified(true);
}

void KGraphic::SetInvisibleColor(int32_t color) {
    if (color == invisibleColor_) return;
    invisibleColor_ = color;
    Modified(transparencyMode_ == TTransparencyMode::tmInvisibleColor);
}

TBitmap32& KGraphic::GetBitmap() {
    if (fileName_.empty()) return bitmap_;
    bitmap_.DrawMode = TDrawMode::dmOpaque;
    if (dirtyFlags_ & kReload) {
        bitmap_.AssignBitmap(media_.GetImage(fileName_));
        dirtyFlags_ &= ~kReload;
    }
    if (dirtyFlags_ & kReprocess) {
        dirtyFlags_ &= ~kReprocess;
        if (transparencyMode_ == TTransparencyMode::tmInvisibleColor) {
            {
                TBitmapUpdate update(bitmap_);
                ApplyColorKey(bitmap_, WinColorToColor32(invisibleColor_, SysColors));
            }
            bitmap_.Changed();
        } else {
            bitmap_.ResetAlpha();
        }
    }
    return bitmap_;
}

}  // namespace zub
