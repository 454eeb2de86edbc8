#include "ui/form_win.h"

#include <vector>

#include "base/error.h"
#include "ui/application_win.h"
#include "ui/controls_win.h"

namespace zub {
namespace {

struct TBorderStyles {
    DWORD Style, ExStyle;
};

TBorderStyles StylesOf(TFormBorderStyle border) {
    switch (border) {
        case TFormBorderStyle::bsDialog:
            return {WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
        case TFormBorderStyle::bsSizeable:
            return {WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case TFormBorderStyle::bsNone: break;
    }
    return {WS_POPUP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

TFormBorderStyle BorderOf(DWORD style) {
    if (style & WS_THICKFRAME) return TFormBorderStyle::bsSizeable;
    if ((style & WS_CAPTION) == WS_CAPTION) return TFormBorderStyle::bsDialog;
    return TFormBorderStyle::bsNone;
}

// The controls Tab visits, in creation order, depth first.
void CollectTabStops(TWinControl& parent, std::vector<TWinControl*>& out) {
    for (TWinControl* child : parent.Controls()) {
        if (child->TabStop() && child->CanFocus()) out.push_back(child);
        CollectTabStops(*child, out);
    }
}

// The framework's control that a window belongs to: the window's own, or
// that of the nearest parent window that has one.
TWinControl* ControlOfWindow(HWND window) {
    for (; window; window = GetParent(window))
        if (TWinControl* control = TWinControl::FromHandle(window)) return control;
    return nullptr;
}

struct TWindowSearch {
    HWND Self;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TWindowSearch*>(param);
    if (window != search.Self && IsWindowVisible(window) && IsWindowEnabled(window)) search.Found.push_back(window);
    return TRUE;
}

// The visible, enabled top-level windows of this thread other than `self`.
std::vector<HWND> OtherEnabledWindows(HWND self) {
    TWindowSearch search{self, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

}  // namespace

TForm::TForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
             int height)
    : TWinControl(owner), border_(BorderOf(style)) {
    SetBounds(0, 0, width, height);
    TCreateParams params;
    params.ClassName = className;
    params.Style = style & ~DWORD(WS_VISIBLE);
    params.ExStyle = WS_EX_CONTROLPARENT;
    params.Caption = caption;
    CreateHandle(params);
    Center();
}

TForm::TForm(TComponent* owner, const char* className, const std::string& caption, TFormBorderStyle border,
             int width, int height)
    : TWinControl(owner), border_(border) {
    SetBounds(0, 0, width, height);
    const TBorderStyles styles = StylesOf(border);
    TCreateParams params;
    params.ClassName = className;
    params.Style = styles.Style;
    params.ExStyle = styles.ExStyle;
    params.Caption = caption;
    CreateHandle(params);
    Center();
}

TForm::~TForm() {
    // The controls go while this is still a form, so that they can leave it.
    FreeOwnedComponents();
    activeControl_ = nullptr;
}

void TForm::Center() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TBounds& b = Bounds();
    const int left = work.left + ((work.right - work.left) - b.Width) / 2;
    const int top = work.top + ((work.bottom - work.top) - b.Height) / 2;
    SetBounds(left, top, b.Width, b.Height);
}

void TForm::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    SetBounds(Bounds().Left, Bounds().Top, r.right - r.left, r.bottom - r.top);
}

void TForm::Show() {
    if (!HandleAllocated()) return;
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    RestoreFocus();
    if (OnShow) OnShow();
}

void TForm::SetVisible(bool visible) {
    if (visible) Show();
    else if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void TForm::Close() {
    if (modal_) {
        if (modalResult_ == mrNone) modalResult_ = CloseModalResult;
        return;  // the modal loop hides the form
    }
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    if (isMainForm_) PostQuitMessage(0);
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (control && control->CanFocus() && GetActiveWindow() == Handle()) ::SetFocus(control->Handle());
}

void TForm::ControlGone(TWinControl* control) {
    if (activeControl_ == control) activeControl_ = nullptr;
}

void TForm::RestoreFocus() {
    TWinControl* target = activeControl_ && activeControl_->CanFocus() ? activeControl_ : nullptr;
    if (!target) {
        std::vector<TWinControl*> stops;
        CollectTabStops(*this, stops);
        if (!stops.empty()) target = stops.front();
    }
    if (target) {
        activeControl_ = target;
        ::SetFocus(target->Handle());
    }
}

void TForm::SelectNext(bool forward) {
    std::vector<TWinControl*> stops;
    CollectTabStops(*this, stops);
    if (stops.empty()) return;
    TWinControl* current = ControlOfWindow(GetFocus());
    if (!current || current->ParentForm() != this) current = activeControl_;
    // From a focus outside the tab stops, forward goes to the first, backward to the last.
    size_t at = stops.size();
    for (size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == current) at = i;
    size_t next;
    if (at == stops.size()) next = forward ? 0 : stops.size() - 1;
    else next = forward ? (at + 1) % stops.size() : (at + stops.size() - 1) % stops.size();
    activeControl_ = stops[next];
    ::SetFocus(stops[next]->Handle());
}

bool TForm::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_MENU) < 0) return false;
    TWinControl* focused = TWinControl::FromHandle(msg.hwnd);
    switch (msg.wParam) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) < 0) return false;
            SelectNext(GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_RETURN:
        case VK_ESCAPE: {
            // A window of no control of ours (a tree's caption editor) keeps its keys.
            if (!focused) return false;
            if (msg.wParam == VK_RETURN) {
                if (auto* button = dynamic_cast<TButton*>(focused)) {
                    button->Click();
                    return true;
                }
            }
            TButton* button = msg.wParam == VK_RETURN ? DefaultButton : CancelButton;
            if (button && button->CanFocus()) button->Click();
            return true;
        }
    }
    return false;
}

int TForm::ShowModal() {
    if (modal_ || Visible()) throw Error("Cannot make a visible window modal");
    HWND owner = GetActiveWindow();
    if (owner == Handle()) owner = nullptr;
    // Every other window of the program takes no input meanwhile.
    const std::vector<HWND> disabled = OtherEnabledWindows(Handle());
    for (HWND window : disabled) EnableWindow(window, FALSE);
    if (owner) SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    modal_ = true;
    modalResult_ = mrNone;
    int result = mrCancel;
    try {
        Show();
        MSG msg;
        while (modalResult_ == mrNone) {
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
                modalResult_ = CloseModalResult;
                break;
            }
            ProcessMessage(msg);
            if (modalResult_ == mrNone && !IsWindowVisible(Handle())) modalResult_ = CloseModalResult;
        }
        result = modalResult_;
    } catch (...) {
        for (HWND window : disabled) EnableWindow(window, TRUE);
        ShowWindow(Handle(), SW_HIDE);
        modal_ = false;
        throw;
    }
    // Enabled again before the form hides, so that the window system gives
    // the activation back to the owner.
    for (HWND window : disabled) EnableWindow(window, TRUE);
    ShowWindow(Handle(), SW_HIDE);
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    modal_ = false;
    return result;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: Close(); return 0;
        case WM_ERASEBKGND: EraseWithColor(reinterpret_cast<HDC>(wParam)); return 1;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
                LRESULT result = TWinControl::WndProc(message, wParam, lParam);
                RestoreFocus();
                return result;
            }
            break;
        case WM_SETFOCUS:
            if (activeControl_ && activeControl_->CanFocus()) {
                ::SetFocus(activeControl_->Handle());
                return 0;
            }
            break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

}  // namespace zub
