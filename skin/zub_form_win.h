// TZubForm: a skinned form. Its Bitmap is the graphic's processed picture
// stretched to the window, and the window is cut to a shape (shape 4: the
// picture's alpha above AlphaThreshold).
#pragma once

#include "skin/zform_win.h"
#include "skin/zub_skin_win.h"

namespace zub {

class TZubForm : public TZubSkin<TZForm> {
public:
    TZubForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
             int height, KMediaList& media);

    // Shapes 0 to 3 keep the picture's own size; shape 4 stretches it to the window.
    void RebuildBitmap() override;

    // The next number for a button made on this form without a name: 1, 2, ...
    int NextButtonNumber() { return ++buttonNumber_; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int buttonNumber_ = 0;
};

}  // namespace zub
