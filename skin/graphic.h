// KGraphic: one skin picture of one control. It loads the picture through the
// image cache, applies its transparency mode and hands out the processed
// 32-bit bitmap. A change only marks it dirty and calls OnChange; GetBitmap
// does the work.
#pragma once

#include <cstdint>
#include <string>

#include "skin/bitmap32.h"
#include "skin/color.h"
#include "ui/component.h"

namespace zub {

class KMediaList;

// What a graphic does to its picture's alpha. The mode is stored as a byte:
// codes other than these behave as tmOpaque.
enum class TTransparencyMode : uint8_t {
    tmOpaque = 0,          // every pixel gets alpha 255
    tmInvisibleColor = 4,  // as tmOpaque, then the pixels of InvisibleColor alpha 0
};

// Every pixel gets alpha 255, then those whose RGB equals key's RGB alpha 0.
void ApplyColorKey(TBitmap32& bitmap, TColor32 key);

class KGraphic : public TComponent {
public:
    enum : uint8_t { kReload = 1, kReprocess = 2, kAllDirty = 15 };

    KGraphic(TComponent* owner, KMediaList& media) : TComponent(owner), media_(media) {}

    const std::string& FileName() const { return fileName_; }
    TTransparencyMode TransparencyMode() const { return transparencyMode_; }
    int32_t InvisibleColor() const { return invisibleColor_; }
    uint8_t DirtyFlags() const { return dirtyFlags_; }
    KMediaList& Media() const { return media_; }

    // Ignored when empty or unchanged (case-sensitive).
    void SetFileName(const std::string& name);
    void SetTransparencyMode(TTransparencyMode mode);
    // Reprocesses the picture only in tmInvisibleColor; calls OnChange in every mode.
    void SetInvisibleColor(int32_t color);

    // The processed picture, brought up to date; owned by the graphic.
    TBitmap32& GetBitmap();

    TNotifyEvent OnChange;
    TSysColorLookup SysColors = PlatformSysColor;

private:
    void Modified(bool dirty);

    KMediaList& media_;
    std::string fileName_;
    TBitmap32 bitmap_;
    uint8_t dirtyFlags_ = kAllDirty;
    TTransparencyMode transparencyMode_ = TTransparencyMode::tmOpaque;
    int32_t invisibleColor_ = 0;
};

}  // namespace zub
