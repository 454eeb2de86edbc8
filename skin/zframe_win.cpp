#include "skin/zframe_win.h"

#include <windowsx.h>

#include "skin/skin_window_win.h"

namespace zub {
namespace {

POINT ClientPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

TZFrame::TZFrame(TComponent* owner, HWND parent, const char* className) : TSkinnedWindow(owner) {
    SetBounds(0, 0, 320, 240);
    TCreateParams params;
    params.ClassName = className;
    params.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    params.Parent = parent;
    CreateHandle(params);
}

void TZFrame::Changed() {
    if (Updating()) return;
    Invalidate();
    if (OnChange) OnChange();
}

void TZFrame::Resize() {
    TSize32 size = zub::ClientSize(Handle());
    engine_.InvalidateCache();
    engine_.ResizeBuffer(size.Width, size.Height);
    engine_.BufferValid = false;
}

// Over the control means inside its client rectangle and its shape: a point in
// a cut-out corner belongs to the window below.
bool TZFrame::PointerOver(POINT client) const {
    TSize32 size = zub::ClientSize(Handle());
    if (client.x < 0 || client.y < 0 || client.x >= size.Width || client.y >= size.Height) return false;
    POINT screen = client;
    ClientToScreen(Handle(), &screen);
    return WindowFromPoint(screen) == Handle();
}

void TZFrame::Enter() {
    mouseInside_ = true;
    if (OnMouseEnter) OnMouseEnter();
}

void TZFrame::Leave() {
    mouseInside_ = false;
    if (OnMouseLeave) OnMouseLeave();
}

void TZFrame::MouseMoved(POINT client, WPARAM keys) {
    leftHeld_ = (keys & MK_LBUTTON) != 0;
    const bool over = PointerOver(client);
    if (over && !mouseInside_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        Enter();
    } else if (!over && mouseInside_) {
        Leave();  // only seen while the mouse is captured
    }
}

void TZFrame::ButtonDown(TMouseButton button, POINT client, bool second) {
    SetCapture(Handle());
    // The second press of a double-click shows the pressed picture but is no click of its own.
    if (button == TMouseButton::mbLeft) clicked_ = !second;
    if (OnMouseDown) OnMouseDown(button, client.x, client.y);
}

void TZFrame::ButtonUp(TMouseButton button, POINT client) {
    const bool click = button == TMouseButton::mbLeft && clicked_;
    clicked_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    TSize32 size = zub::ClientSize(Handle());
    const bool inside = client.x >= 0 && client.y >= 0 && client.x < size.Width && client.y < size.Height;
    if (click && inside && OnClick) OnClick();
    if (OnMouseUp) OnMouseUp(button, client.x, client.y);
    if (mouseInside_ && HandleAllocated()) {  // hover tracking again, now that capture is over
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
    }
}

LRESULT TZFrame::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The system sends a disabled window no mouse input; neither do others.
    const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
    if (mouse && !IsWindowEnabled(Handle())) return TSkinnedWindow::WndProc(message, wParam, lParam);
    switch (message) {
        case WM_SIZE: {
            LRESULT result = TSkinnedWindow::WndProc(message, wParam, lParam);
            Resize();
            return result;
        }
        case WM_MOUSEMOVE: MouseMoved(ClientPoint(lParam), wParam); return 0;
        case WM_MOUSELEAVE:
            // While captured, leaving is seen in WM_MOUSEMOVE instead.
            if (GetCapture() != Handle() && mouseInside_) {
                leftHeld_ = GetKeyState(VK_LBUTTON) < 0;
                Leave();
            }
            return 0;
        case WM_LBUTTONDOWN: ButtonDown(TMouseButton::mbLeft, ClientPoint(lParam), false); return 0;
        case WM_LBUTTONDBLCLK: ButtonDown(TMouseButton::mbLeft, ClientPoint(lParam), true); return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: ButtonDown(TMouseButton::mbRight, ClientPoint(lParam), false); return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: ButtonDown(TMouseButton::mbMiddle, ClientPoint(lParam), false); return 0;
        case WM_LBUTTONUP: ButtonUp(TMouseButton::mbLeft, ClientPoint(lParam)); return 0;
        case WM_RBUTTONUP: ButtonUp(TMouseButton::mbRight, ClientPoint(lParam)); return 0;
        case WM_MBUTTONUP: ButtonUp(TMouseButton::mbMiddle, ClientPoint(lParam)); return 0;
        case WM_CAPTURECHANGED: clicked_ = false; break;
    }
    return TSkinnedWindow::WndProc(message, wParam, lParam);
}

}  // namespace zub
