#include "skin/zform_win.h"

#include "skin/skin_window_win.h"

namespace zub {

TZForm::TZForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
               int height)
    : TForm(owner, className, caption, style, width, height) {
    engine_.Bitmap.OnChange = [this] { Changed(); };
    engine_.Bitmap.OnResize = [this] { BitmapResized(); };
}

TZForm::~TZForm() {
    // No notifications reach a form that is going.
    ++updateCount_;
    engine_.Bitmap.OnChange = nullptr;
    engine_.Bitmap.OnResize = nullptr;
}

void TZForm::SetBitmap(const TBitmap32& value) {
    engine_.InvalidateCache();
    engine_.Bitmap.AssignBitmap(value);
}

void TZForm::SetScale(float value) {
    if (engine_.SetScale(value)) Changed();
}

void TZForm::SetScaleMode(TScaleMode value) {
    if (engine_.SetScaleMode(value)) Changed();
}

void TZForm::Changed() {
    if (updateCount_ == 0 && OnChange) OnChange();
}

void TZForm::Invalidate() {
    engine_.BufferValid = false;
    engine_.CacheValid = false;
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TZForm::BitmapResized() {
    engine_.InvalidateCache();
    Invalidate();
}

LRESULT TZForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint covers everything
        case WM_PAINT: PaintWindow(Handle(), engine_, Color()); return 0;
        case WM_SIZE: engine_.BufferValid = false; break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace zub
