#include "ui/window_win.h"

#include <exception>
#include <vector>

namespace zub {
namespace {

constexpr char kSelfProperty[] = "ZubControl";

void RegisterOwnClass(const char* className, HBRUSH background) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, className, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

}  // namespace

void ShowException(HWND owner, const char* message) {
    MessageBoxA(owner, message, "Setup", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

TWinControl::~TWinControl() {
    // Children go first, while this window still exists as their parent.
    FreeOwnedComponents();
    DestroyHandle();
}

void TWinControl::CreateHandle(const TCreateParams& params) {
    if (params.OwnClass) RegisterOwnClass(params.ClassName, params.Background);
    HWND window = CreateWindowExA(params.ExStyle, params.ClassName, params.Caption.c_str(), params.Style,
                                  bounds_.Left, bounds_.Top, bounds_.Width, bounds_.Height, params.Parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) return;
    handle_ = window;
    SetPropA(window, kSelfProperty, this);
    systemProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StaticWndProc)));
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    HWND window = handle_;
    handle_ = nullptr;
    RemovePropA(window, kSelfProperty);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
    DestroyWindow(window);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TWinControl*>(GetPropA(window, kSelfProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    // No exception may unwind into the window system: show it and go on.
    try {
        return self->WndProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        ShowException(GetAncestor(window, GA_ROOT), e.what());
    } catch (...) {
        ShowException(GetAncestor(window, GA_ROOT), "Unknown error");
    }
    return 0;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(systemProc_, handle_, message, wParam, lParam);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, width, height};
    if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetVisible(bool visible) {
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

bool TWinControl::Visible() const { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetEnabled(bool enabled) {
    if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

bool TWinControl::Enabled() const { return handle_ && IsWindowEnabled(handle_); }

std::string TWinControl::Text() const {
    if (!handle_) return {};
    int length = GetWindowTextLengthA(handle_);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    GetWindowTextA(handle_, buffer.data(), length + 1);
    return std::string(buffer.data());
}

void TWinControl::SetText(const std::string& text) {
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

}  // namespace zub
