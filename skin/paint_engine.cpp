#include "skin/paint_engine.h"

#include <algorithm>
#include <cmath>

namespace zub {
namespace {

int RoundEven(float v) { return static_cast<int>(std::nearbyint(v)); }  // ties to even

}  // namespace

std::vector<TPaintStage> DefaultPaintStages() {
    return {
        {true, true, kStageBackground, 0}, {true, false, kStageControlFrame, 0}, {true, true, kStageBitmap, 0},
        {true, false, kStageBitmapFrame, 0}, {true, true, kStageLayers, 0x80000000u},
    };
}

TPaintEngine::TPaintEngine() : PaintStages(DefaultPaintStages()) { Buffer.BeginUpdate(); }

bool TPaintEngine::ResizeBuffer(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    const int oldW = Buffer.Width(), oldH = Buffer.Height();
    if (w == oldW && h == oldH) return false;
    int W = oldW, H = oldH;
    if (W < w) W = w + BufferOversize;
    if (H < h) H = h + BufferOversize;
    if (w < oldW - BufferOversize) W = w;
    if (h < oldH - BufferOversize) H = h;
    if (W == oldW && H == oldH) return false;
    Buffer.SetSize(W, H);
    BufferValid = false;
    return true;
}

TSize32 TPaintEngine::GetBitmapSize(int w, int h) const {
    if (Bitmap.IsEmpty() || w == 0 || h == 0) return {};
    const int bw = Bitmap.Width(), bh = Bitmap.Height();
    switch (ScaleMode) {
        case TScaleMode::smNormal: return {bw, bh};
        case TScaleMode::smStretch: return {w, h};
        case TScaleMode::smResize: {
            float kx = float(w) / bw, ky = float(h) / bh;
            if (kx >= ky) return {RoundEven(bw * ky), h};
            return {w, RoundEven(kx * bh)};
        }
        case TScaleMode::smScale: return {RoundEven(bw * Scale), RoundEven(bh * Scale)};
    }
    return {};
}

TRect32 TPaintEngine::GetBitmapRect(int w, int h) const {
    if (Bitmap.IsEmpty()) return {};
    TSize32 size = GetBitmapSize(w, h);
    return {0, 0, size.Width, size.Height};
}

bool TPaintEngine::SetScale(float scale) {
    scale = std::max(scale, 0.001f);
    if (scale == Scale) return false;
    InvalidateCache();
    Scale = scale;
    return true;
}

bool TPaintEngine::SetScaleMode(TScaleMode mode) {
    if (mode == ScaleMode) return false;
    InvalidateCache();
    ScaleMode = mode;
    return true;
}

void TPaintEngine::PaintBuffer(int w, int h, TColor32 fill) {
    if (!CacheValid) {
        CachedBitmapRect = GetBitmapRect(w, h);
        CacheValid = true;
    }
    for (const TPaintStage& stage : PaintStages) {
        if (!stage.RunTime) continue;
        switch (stage.StageKind) {
            case kStageClear: Buffer.Clear(fill); break;
            case kStageBackground: PaintBackgroundStage(w, h, fill); break;
            case kStageBitmap: PaintBitmapStage(); break;
            default: break;  // custom stages and layers: none in the setup; frames are design-time
        }
    }
    BufferValid = true;
}

void TPaintEngine::PaintBackgroundStage(int w, int h, TColor32 fill) {
    if (Bitmap.IsEmpty() || Bitmap.DrawMode != TDrawMode::dmOpaque) {
        Buffer.Clear(fill);
        return;
    }
    const TRect32& r = CachedBitmapRect;
    if (r.Left > 0 || r.Right < w || r.Top > 0 || r.Bottom < h) {
        Buffer.FillRect(0, 0, w, r.Top, fill);
        Buffer.FillRect(0, r.Bottom, w, h, fill);
        Buffer.FillRect(0, r.Top, r.Left, r.Bottom, fill);
        Buffer.FillRect(r.Right, r.Top, w, r.Bottom, fill);
    }
}

void TPaintEngine::PaintBitmapStage() {
    if (Bitmap.IsEmpty() || CachedBitmapRect.IsEmpty()) return;
    TBitmapLock lock(Bitmap);
    Bitmap.DrawTo(Buffer, CachedBitmapRect);
}

}  // namespace zub
