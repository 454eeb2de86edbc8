// The painting machinery shared by the skinned form and frame: the displayed
// Bitmap, the off-screen Buffer with its 40-pixel hysteresis, the scale modes
// and the run-time paint stages. Portable; the window classes blit Buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/bitmap32.h"

namespace zub {

enum class TScaleMode { smNormal, smStretch, smScale, smResize };

struct TPaintStage {
    bool DesignTime = false, RunTime = false;
    uint32_t StageKind = 0, StageParameter = 0;
};

enum : uint32_t {
    kStageCustom = 1, kStageClear = 2, kStageBackground = 3, kStageBitmap = 4, kStageLayers = 5,
    kStageControlFrame = 6, kStageBitmapFrame = 7,
};

// Background, control frame (design), bitmap, bitmap frame (design), layers.
std::vector<TPaintStage> DefaultPaintStages();

struct TSize32 {
    int Width = 0, Height = 0;
    bool operator==(const TSize32& o) const { return Width == o.Width && Height == o.Height; }
};

class TPaintEngine {
public:
    TPaintEngine();

    // The buffer for a viewport of w x h: grows to w + 40 (h + 40) when too
    // small, shrinks only when more than 40 pixels too large. True when it
    // was reallocated (the buffer is then invalid).
    bool ResizeBuffer(int w, int h);
    // Runs the run-time stages into Buffer for a window of w x h filled with `fill`.
    void PaintBuffer(int w, int h, TColor32 fill);

    TSize32 GetBitmapSize(int w, int h) const;
    TRect32 GetBitmapRect(int w, int h) const;
    void InvalidateCache() { CacheValid = false; }

    // Below 0.001 counts as 0.001; true when the scale changed.
    bool SetScale(float scale);
    bool SetScaleMode(TScaleMode mode);

    TBitmap32 Bitmap;
    TBitmap32 Buffer;  // its change notifications are held back for its whole life
    int BufferOversize = 40;
    bool BufferValid = false;
    float Scale = 1.0f;
    TScaleMode ScaleMode = TScaleMode::smNormal;
    float OffsetHorz = 0, OffsetVert = 0;  // stored only: the picture sits at the top left
    std::vector<TPaintStage> PaintStages;
    TRect32 CachedBitmapRect;
    bool CacheValid = false;

private:
    void PaintBackgroundStage(int w, int h, TColor32 fill);
    void PaintBitmapStage();
};

}  // namespace zub
