#include "skin/zub_form_win.h"

#include "skin/skin_window_win.h"

namespace zub {

TZubForm::TZubForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
                   int height, KMediaList& media)
    : TZubSkin(10, media, owner, className, caption, style, width, height) {}

void TZubForm::RebuildBitmap() {
    if (!HasPicture()) return;
    // The content may change at the same size: the buffer is stale then too.
    engine_.BufferValid = false;
    const uint8_t shape = uint8_t(Shape()), alpha = uint8_t(TShape::shBitmapAlpha);
    LayPicture(shape < alpha ? TPictureFit::OwnSize : shape == alpha ? TPictureFit::Window : TPictureFit::None);
}

LRESULT TZubForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) UpdateSkin();
    return TZubSkin::WndProc(message, wParam, lParam);
}

}  // namespace zub
