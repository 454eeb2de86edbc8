// TZubFrame: a skinned child window, the TZubForm of child controls: its
// Bitmap is the graphic's picture stretched to the frame, cut to a shape
// (shape 2 with 4 x 4 corners). TZubButton: an image button with four
// pictures (normal, over, pressed, disabled) switched by the mouse and by
// enabling; it takes the size of the picture it shows.
#pragma once

#include <string>

#include "skin/zframe_win.h"
#include "skin/zub_skin_win.h"

namespace zub {

class TZubFrame : public TZubSkin<TZFrame> {
public:
    TZubFrame(TComponent* owner, HWND parent, const char* className, KMediaList& media);

    // The picture is always stretched to the frame.
    void RebuildBitmap() override;

protected:
    void Resize() override;
};

class TZubButton : public TZubFrame {
public:
    enum class TState { bsNormal = 0, bsOver = 1, bsPressed = 2, bsDisabled = 3 };

    // Named "Zubcraft" + the running number of its form until given a name.
    TZubButton(TComponent* owner, HWND parent, KMediaList& media);

    std::string ImageNormal, ImageOver, ImagePressed, ImageDisabled;

    // Shows the picture of the state (and takes its size); an empty picture
    // name, or the one shown already, changes nothing.
    virtual void SetState(TState state);
    void SetEnabled(bool enabled) override;

    void BEnter();
    void BExit();
    void BDown();
    void BUp(int x, int y);

protected:
    // A screen reader asking for the button's object (WM_GETOBJECT) gets a
    // push button's: its window text as name, its enabled state. The button
    // still takes no keyboard focus.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace zub
