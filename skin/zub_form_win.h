// TZubForm: a skinned form. Its Bitmap is the graphic's processed picture
// stretched to the window, and the window is cut to a shape (shape 4: the
// picture's alpha above AlphaThreshold).
#pragma once

#include "skin/graphic.h"
#include "skin/zform_win.h"

namespace zub {

class TZubForm : public TZForm {
public:
    TZubForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
             int height, KMediaList& media);
    ~TZubForm() override;

    KGraphic& Graphic() { return *graphic_; }
    uint8_t Shape() const { return shape_; }
    int AlphaThreshold() const { return alphaThreshold_; }

    void SetShape(uint8_t code);
    void SetAlphaThreshold(int value);

    virtual void RebuildBitmap();
    virtual void ApplyShape();

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void GraphicChanged();
    void UpdateSkin();

    KGraphic* graphic_ = nullptr;
    uint8_t shape_ = 0;
    int alphaThreshold_ = 0;
};

}  // namespace zub
