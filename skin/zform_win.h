// TZForm: a borderless form that paints its Bitmap through an off-screen
// buffer (see paint_engine.h). It never lets the window system erase its
// background; a paint with a valid buffer is a single BitBlt.
#pragma once

#include "skin/color.h"
#include "skin/paint_engine.h"
#include "ui/form_win.h"

namespace zub {

class TZForm : public TForm {
public:
    TZForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
           int height);
    ~TZForm() override;

    TBitmap32& Bitmap() { return engine_.Bitmap; }
    const TPaintEngine& Engine() const { return engine_; }
    void SetBitmap(const TBitmap32& value);
    void SetScale(float value);
    void SetScaleMode(TScaleMode value);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() { --updateCount_; }
    // Calls OnChange outside updates; does not repaint.
    virtual void Changed();
    // Marks buffer and cache invalid and invalidates the window without erasing.
    void Invalidate();

    TNotifyEvent OnChange;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    TPaintEngine engine_;

private:
    void BitmapResized();
    int updateCount_ = 0;
};

}  // namespace zub
