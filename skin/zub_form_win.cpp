#include "skin/zub_form_win.h"

#include "skin/skin_window_win.h"

namespace zub {

TZubForm::TZubForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
                   int height, KMediaList& media)
    : TZubSkin(10, media, owner, className, caption, style, width, height) {}

void TZubForm::RebuildBitmap() {
    if (!HasPicture()) return;
    TBitmap32& bitmap = Bitmap();
    TBitmap32& picture = Graphic().GetBitmap();
    TSize32 size = zub::ClientSize(Handle());
    {
        TBitmapUpdate update(bitmap);
        if (uint8_t(Shape()) < uint8_t(TShape::shBitmapAlpha)) {  // the picture 1:1
            bitmap.SetSize(picture.Width(), picture.Height());
            picture.DrawTo(bitmap);
        } else if (Shape() == TShape::shBitmapAlpha) {  // stretched to the window
            bitmap.SetSize(size.Width, size.Height);
            picture.DrawTo(bitmap, {0, 0, size.Width, size.Height});
        }
    }
    // The content may have changed at the same size: the buffer is stale then too.
    engine_.BufferValid = false;
    bitmap.Changed();
}

LRESULT TZubForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) UpdateSkin();
    return TZubSkin::WndProc(message, wParam, lParam);
}

}  // namespace zub
