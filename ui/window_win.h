// The window base of every control and form: owns its window handle, keeps
// its bounds, and is the boundary where exceptions from message handlers stop.
#pragma once

#include <windows.h>

#include <string>

#include "ui/component.h"

namespace zub {

struct TCreateParams {
    const char* ClassName = "";
    DWORD Style = WS_CHILD | WS_VISIBLE;
    DWORD ExStyle = 0;
    HWND Parent = nullptr;
    std::string Caption;
    // A window class this control registers itself; false to use a system class.
    bool OwnClass = true;
    HBRUSH Background = nullptr;  // of an own class; null leaves erasing to the control
};

struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner) : TComponent(owner) {}
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }

    const TBounds& Bounds() const { return bounds_; }
    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int width) { SetBounds(bounds_.Left, bounds_.Top, width, bounds_.Height); }
    void SetHeight(int height) { SetBounds(bounds_.Left, bounds_.Top, bounds_.Width, height); }

    void SetVisible(bool visible);
    bool Visible() const;
    // A disabled control gets no mouse or keyboard input.
    virtual void SetEnabled(bool enabled);
    bool Enabled() const;
    std::string Text() const;
    void SetText(const std::string& text);

protected:
    void CreateHandle(const TCreateParams& params);
    void DestroyHandle();
    // Message handling; the default passes the message on to the window class.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    WNDPROC systemProc_ = nullptr;  // for controls of a system class
    TBounds bounds_;
};

// Shows an exception that escaped a handler in the application's error box.
void ShowException(HWND owner, const char* message);

}  // namespace zub
