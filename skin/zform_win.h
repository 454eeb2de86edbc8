// TZForm: a borderless form that paints its Bitmap through an off-screen
// buffer (see paint_engine.h). It never lets the window system erase its
// background; a paint with a valid buffer is a single BitBlt.
#pragma once

#include "skin/skinned_window_win.h"
#include "ui/form_win.h"

namespace zub {

class TZForm : public TSkinnedWindow<TForm> {
public:
    TZForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
           int height);

    void SetScale(float value);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace zub
