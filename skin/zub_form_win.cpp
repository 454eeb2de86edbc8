#include "skin/zub_form_win.h"

#include "skin/skin_window_win.h"

namespace zub {

TZubForm::TZubForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
                   int height, KMediaList& media)
    : TZForm(owner, className, caption, style, width, height) {
    graphic_ = &Own<KGraphic>(media);
    graphic_->OnChange = [this] { GraphicChanged(); };
}

TZubForm::~TZubForm() {
    graphic_->OnChange = nullptr;
    graphic_ = nullptr;
}

void TZubForm::SetShape(uint8_t code) {
    shape_ = code;
    SetScaleMode(TScaleMode::smStretch);
    RebuildBitmap();
    ApplyShape();
}

void TZubForm::SetAlphaThreshold(int value) {
    if (value == alphaThreshold_) return;
    alphaThreshold_ = value;
    if (shape_ == 3 || shape_ == 4) ApplyShape();
}

void TZubForm::RebuildBitmap() {
    if (!graphic_ || graphic_->FileName().empty()) return;
    TBitmap32& bitmap = Bitmap();
    TBitmap32& picture = graphic_->GetBitmap();
    TSize32 size = ClientSize(Handle());
    bitmap.BeginUpdate();
    try {
        if (shape_ < 4) {
            bitmap.SetSize(picture.Width(), picture.Height());
            picture.DrawTo(bitmap);
        } else if (shape_ == 4) {
            bitmap.SetSize(size.Width, size.Height);
            picture.DrawTo(bitmap, {0, 0, size.Width, size.Height});
        }
    } catch (...) {
        bitmap.EndUpdate();
        throw;
    }
    bitmap.EndUpdate();
    // The content may have changed at the same size: the buffer is stale then too.
    engine_.BufferValid = false;
    bitmap.Changed();
}

void TZubForm::ApplyShape() {
    if (!HandleAllocated()) return;
    ApplyWindowShape(Handle(), {shape_, alphaThreshold_, 10}, Bitmap());
}

void TZubForm::GraphicChanged() {
    SetScaleMode(TScaleMode::smStretch);
    RebuildBitmap();
    ApplyShape();
}

void TZubForm::UpdateSkin() {
    if (!graphic_) return;  // a WM_SIZE during construction
    const bool hasFile = !graphic_->FileName().empty();
    if (shape_ == 4) {
        if (!hasFile) return;
        RebuildBitmap();
        ApplyShape();
        return;
    }
    if (hasFile) RebuildBitmap();
    ApplyShape();
}

LRESULT TZubForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) UpdateSkin();
    return TZForm::WndProc(message, wParam, lParam);
}

}  // namespace zub
