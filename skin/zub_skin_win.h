// What the skinned form and the skinned frame share: a skin graphic owned by
// the window, whose processed picture becomes the window's Bitmap, and a
// window shape made from it. Base is TZForm or TZFrame; each derived class
// says how its picture is laid into its Bitmap (RebuildBitmap).
#pragma once

#include <cstdint>
#include <utility>

#include "skin/graphic.h"
#include "skin/skin_window_win.h"

namespace zub {

template <class Base>
class TZubSkin : public Base {
public:
    // `corner` is the corner ellipse of shRoundRect; the other arguments go to Base.
    template <class... Args>
    TZubSkin(int corner, KMediaList& media, TComponent* owner, Args&&... args)
        : Base(owner, std::forward<Args>(args)...), corner_(corner) {
        graphic_ = &this->template Own<KGraphic>(media);
        graphic_->OnChange = [this] { GraphicChanged(); };
    }
    ~TZubSkin() override {
        graphic_->OnChange = nullptr;
        graphic_ = nullptr;
    }

    KGraphic& Graphic() { return *graphic_; }
    TShape Shape() const { return shape_; }
    int AlphaThreshold() const { return alphaThreshold_; }

    void SetShape(TShape shape) {
        shape_ = shape;
        this->SetScaleMode(TScaleMode::smStretch);
        Refresh(true);
    }

    void SetAlphaThreshold(int value) {
        if (value == alphaThreshold_) return;
        alphaThreshold_ = value;
        if (shape_ == TShape::shNoRegion || shape_ == TShape::shBitmapAlpha) Refresh(false);
    }

    // Makes the changes, then lays the picture in and cuts the outline once
    // instead of after each of them: every cut is a call to the window system.
    template <class Changes>
    void Batch(Changes&& changes) {
        ++batching_;
        try {
            changes();
        } catch (...) {
            --batching_;
            throw;
        }
        if (--batching_ == 0 && std::exchange(stale_, false)) {
            RebuildBitmap();
            ApplyShape();
        }
    }

    virtual void RebuildBitmap() = 0;

    // Cuts the window to its shape; the window system owns the region then.
    virtual void ApplyShape() {
        if (!this->HandleAllocated()) return;
        ApplyWindowShape(this->Handle(), {shape_, alphaThreshold_, corner_}, this->Bitmap());
    }

protected:
    bool HasPicture() const { return graphic_ && !graphic_->FileName().empty(); }

    // How RebuildBitmap lays the picture into the Bitmap: at its own size,
    // stretched to the window, or not at all (the Bitmap keeps what it holds).
    enum class TPictureFit { OwnSize, Window, None };
    // Lays the picture in as `fit` says and announces one change at the end;
    // nothing without a picture.
    void LayPicture(TPictureFit fit) {
        if (!HasPicture()) return;
        TBitmap32& bitmap = this->Bitmap();
        TBitmap32& picture = graphic_->GetBitmap();
        {
            TBitmapUpdate update(bitmap);
            if (fit == TPictureFit::OwnSize) {
                bitmap.SetSize(picture.Width(), picture.Height());
                picture.DrawTo(bitmap);
            } else if (fit == TPictureFit::Window) {
                const TSize32 size = zub::ClientSize(this->Handle());
                bitmap.SetSize(size.Width, size.Height);
                picture.DrawTo(bitmap, {0, 0, size.Width, size.Height});
            }
        }
        bitmap.Changed();
    }

    // After a change of size: shBitmapAlpha follows the picture, so without one
    // there is nothing to do; the other shapes follow the window's size.
    void UpdateSkin() {
        if (!graphic_) return;  // a size change during construction
        if (shape_ == TShape::shBitmapAlpha && !HasPicture()) return;
        Refresh(HasPicture());
    }

private:
    void GraphicChanged() {
        this->SetScaleMode(TScaleMode::smStretch);
        Refresh(true);
    }

    // Lays the picture in again (when `rebuild`) and cuts the outline, or,
    // within a batch, leaves both to its end.
    void Refresh(bool rebuild) {
        if (batching_ > 0) {
            stale_ = true;
            return;
        }
        if (rebuild) RebuildBitmap();
        ApplyShape();
    }

    KGraphic* graphic_ = nullptr;
    TShape shape_ = TShape::shRectangle;
    int alphaThreshold_ = 0;
    const int corner_;
    int batching_ = 0;
    bool stale_ = false;  // a change within the batch wants the picture and outline again
};

}  // namespace zub
