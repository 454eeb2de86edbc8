// TZFrame: a child window that paints its Bitmap through an off-screen buffer
// like TZForm, repaints as soon as the Bitmap changes, and turns the mouse
// into enter, leave, down, up and click events. The click follows the usual
// rule: a left press on the control captures the mouse, and the release
// clicks when it lies inside the client rectangle; OnClick runs before OnMouseUp.
// The second press of a double-click is a press, not the start of a click.
#pragma once

#include <functional>

#include "skin/skinned_window_win.h"
#include "ui/window_win.h"

namespace zub {

using TImgMouseEvent = TMouseEvent;

class TZFrame : public TSkinnedWindow<TWinControl> {
public:
    // A child of parent, named and registered as the window class className.
    TZFrame(TComponent* owner, HWND parent, const char* className);

    // Outside updates: invalidates (a frame repaints at once) and calls OnChange.
    void Changed() override;
    // Whether the left button was held at the latest mouse event.
    bool LeftButtonHeld() const { return leftHeld_; }

    TNotifyEvent OnClick, OnMouseEnter, OnMouseLeave;
    TImgMouseEvent OnMouseDown, OnMouseUp;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // After a size change: cache, buffer, then the derived handling.
    virtual void Resize();

private:
    bool PointerOver(POINT client) const;
    void MouseMoved(POINT client, WPARAM keys);
    // `second`: the second press of a double-click (WM_LBUTTONDBLCLK).
    void ButtonDown(TMouseButton button, POINT client, bool second);
    void ButtonUp(TMouseButton button, POINT client);
    void Enter();
    void Leave();

    bool mouseInside_ = false;
    bool clicked_ = false;
    bool leftHeld_ = false;
};

}  // namespace zub
