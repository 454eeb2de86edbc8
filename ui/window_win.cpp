#include "ui/window_win.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "base/win32_error.h"
#include "ui/form_win.h"
#include "ui/gdi_cache_win.h"

namespace zub {
namespace {

constexpr char kSelfProperty[] = "ZubControl";

// Child windows get distinct identifiers from 100 on, clear of the dialog
// manager's IDOK and IDCANCEL.
UINT_PTR NextControlId() {
    static UINT_PTR next = 100;
    if (next >= 0xFFF0) next = 100;
    return next++;
}

void RegisterOwnClass(const char* className, HBRUSH background, WNDPROC proc) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, className, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) RaiseLastWin32Error();
}

// Counts up for the lifetime of the object, also when an exception passes.
class TCountGuard {
public:
    explicit TCountGuard(int& count) : count_(count) { ++count_; }
    ~TCountGuard() { --count_; }
    TCountGuard(const TCountGuard&) = delete;
    TCountGuard& operator=(const TCountGuard&) = delete;

private:
    int& count_;
};

}  // namespace

void ShowException(HWND owner, const char* message) {
    MessageBoxA(owner, message, "Setup", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

TWinControl::TWinControl(TComponent* owner, TWinControl* parent) : TComponent(owner), parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

TWinControl::~TWinControl() {
    // Owned components go first, while this window still exists as their parent.
    FreeOwnedComponents();
    // Children owned elsewhere lose their parent; their windows go with this one.
    for (TWinControl* child : children_) child->parent_ = nullptr;
    children_.clear();
    if (TForm* form = ParentForm(); form && form != static_cast<TWinControl*>(this)) form->ControlGone(this);
    DestroyHandle();
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (align_ != TAlign::alNone) parent_->Realign();
    }
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropA(window, kSelfProperty)) : nullptr;
}

TForm* TWinControl::ParentForm() {
    for (TWinControl* control = this; control; control = control->parent_)
        if (auto* form = dynamic_cast<TForm*>(control)) return form;
    return nullptr;
}

void TWinControl::CreateHandle(const TCreateParams& params) {
    if (handle_) return;
    if (!parent_ && params.Parent) {
        parent_ = FromHandle(params.Parent);
        if (parent_) parent_->children_.push_back(this);
    }
    HWND parentWindow = params.Parent ? params.Parent : (parent_ ? parent_->Handle() : nullptr);
    const bool child = (params.Style & WS_CHILD) != 0;
    if (params.OwnClass) {
        RegisterOwnClass(params.ClassName, params.Background, &TWinControl::StaticWndProc);
        systemProc_ = DefWindowProcA;
    }
    HMENU id = child ? reinterpret_cast<HMENU>(NextControlId()) : nullptr;
    // An own class meets the control from WM_NCCREATE on (lpCreateParams).
    HWND window = CreateWindowExA(params.ExStyle, params.ClassName, params.Caption.c_str(), params.Style,
                                  bounds_.Left, bounds_.Top, bounds_.Width, bounds_.Height, parentWindow, id,
                                  GetModuleHandleA(nullptr), params.OwnClass ? this : nullptr);
    if (!window) {
        handle_ = nullptr;
        RaiseLastWin32Error();
    }
    if (!FromHandle(window)) {
        // A system class (or a class name taken by someone else): subclass it.
        handle_ = window;
        SetPropA(window, kSelfProperty, this);
        systemProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StaticWndProc)));
    }
    visible_ = (params.Style & WS_VISIBLE) != 0;
    tabStop_ = (params.Style & WS_TABSTOP) != 0;
    RECT r{};
    GetWindowRect(window, &r);
    if (child && parentWindow) MapWindowPoints(HWND_DESKTOP, parentWindow, reinterpret_cast<POINT*>(&r), 2);
    bounds_ = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    RecordAnchorOrigin();
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    HWND window = handle_;
    DestroyWindow(window);  // WM_NCDESTROY lets go of the window
    handle_ = nullptr;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->handle_ = window;
            SetPropA(window, kSelfProperty, self);
        }
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    // No exception may unwind into the window system: show it and go on.
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& e) {
        ShowException(GetAncestor(window, GA_ROOT), e.what());
    } catch (...) {
        ShowException(GetAncestor(window, GA_ROOT), "Unknown error");
    }
    return 0;
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCDESTROY) {
        LRESULT result = 0;
        if (MessageHook && MessageHook(message, wParam, lParam, result)) return result;
        return WndProc(message, wParam, lParam);
    }
    // The window goes: the control lets go of it (also when a parent's
    // destruction takes it along).
    HWND window = handle_;
    WNDPROC proc = systemProc_;
    RemovePropA(window, kSelfProperty);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    handle_ = nullptr;
    return CallWindowProcA(proc, window, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this) {
                child->Command(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (TWinControl* child = FromHandle(header->hwndFrom); child && child != this) {
                bool handled = true;
                LRESULT result = child->Notify(*header, handled);
                if (handled) return result;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this) {
                if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_ERASEBKGND:
            if (!erasesWithColor_) break;
            EraseWithColor(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_WINDOWPOSCHANGED: {
            PositionChanged(*reinterpret_cast<WINDOWPOS*>(lParam));
            return DefaultHandler(message, wParam, lParam);
        }
        case WM_SIZE: {
            LRESULT result = DefaultHandler(message, wParam, lParam);
            Resized();
            Realign();
            return result;
        }
        case WM_SETFOCUS:
            if (TForm* form = ParentForm(); form && form != static_cast<TWinControl*>(this)) form->ControlFocused(this);
            break;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(systemProc_ ? systemProc_ : DefWindowProcA, handle_, message, wParam, lParam);
}

// The bounds are what the window really is now.
void TWinControl::PositionChanged(const WINDOWPOS& pos) {
    RECT r{};
    GetWindowRect(handle_, &r);
    HWND parentWindow = GetParent(handle_);
    if ((GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) && parentWindow)
        MapWindowPoints(HWND_DESKTOP, parentWindow, reinterpret_cast<POINT*>(&r), 2);
    const TBounds old = bounds_;
    bounds_ = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    // A change from outside the layout is where the anchors measure from now.
    if (!layoutMoving_ && bounds_ != old) RecordAnchorOrigin();
    const bool sized = bounds_.Width != old.Width || bounds_.Height != old.Height;
    const bool shownOrHidden = (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0;
    if (parent_ && align_ != TAlign::alNone && (sized || shownOrHidden)) parent_->Realign();
}

void TWinControl::RecordAnchorOrigin() {
    anchorOrigin_ = bounds_;
    anchorParent_ = parent_ ? parent_->LayoutClientSize() : TClientSize{};
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (!handle_) {
        bounds_ = {left, top, width, height};
        RecordAnchorOrigin();
        return;
    }
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RecordAnchorOrigin();
}

void TWinControl::ApplyLayoutBounds(const TBounds& b) {
    if (!handle_) {
        bounds_ = b;
        return;
    }
    layoutMoving_ = true;
    SetWindowPos(handle_, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    layoutMoving_ = false;
}

TClientSize TWinControl::ClientSize() const {
    if (!handle_) return {bounds_.Width, bounds_.Height};
    RECT r{};
    GetClientRect(handle_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TLayoutItem TWinControl::LayoutItem() const {
    TLayoutItem item;
    item.Align = align_;
    item.Anchors = anchors_;
    item.Visible = Visible();
    item.Bounds = bounds_;
    item.Origin = anchorOrigin_;
    item.OriginParent = anchorParent_;
    return item;
}

void TWinControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->Realign();
}

void TWinControl::SetAnchors(TAnchors anchors) {
    anchors_ = anchors;
    RecordAnchorOrigin();
}

void TWinControl::Realign() {
    if (!handle_ || children_.empty()) return;
    if (aligning_ > 0) {
        realignPending_ = true;
        return;
    }
    TCountGuard guard(aligning_);
    // A child that changes its own size while being placed (a label that
    // measures its text at its new width) asks for another round.
    for (int round = 0; round < 8; ++round) {
        realignPending_ = false;
        std::vector<TLayoutItem> items;
        items.reserve(children_.size());
        for (const TWinControl* child : children_) items.push_back(child->LayoutItem());
        const std::vector<TBounds> placed = ArrangeChildren(items, LayoutClientSize());
        // Work on a copy: a handler may add or remove children meanwhile.
        const std::vector<TWinControl*> children = children_;
        for (size_t i = 0; i < children.size() && i < placed.size(); ++i) {
            TWinControl* child = children[i];
            const bool fixed = child->align_ == TAlign::alNone && child->anchors_ == kDefaultAnchors;
            if (!fixed && placed[i] != child->bounds_) child->ApplyLayoutBounds(placed[i]);
        }
        if (!realignPending_) break;
    }
}

bool TWinControl::Visible() const {
    if (!handle_) return visible_;
    return (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TWinControl::SetVisible(bool visible) {
    visible_ = visible;
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

bool TWinControl::Showing() const { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetEnabled(bool enabled) {
    if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

bool TWinControl::Enabled() const { return handle_ && IsWindowEnabled(handle_); }

std::string TWinControl::Text() const {
    if (!handle_) return {};
    const int length = GetWindowTextLengthA(handle_);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(handle_, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(std::max(0, copied)));
}

void TWinControl::SetText(const std::string& text) {
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

TColor TWinControl::Color() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

void TWinControl::SetColor(TColor color) {
    color_ = color;
    parentColor_ = false;
    ShownChanged(&TWinControl::parentColor_, &TWinControl::ColorChanged);
}

void TWinControl::SetParentColor(bool value) {
    if (value == parentColor_) return;
    if (!value) color_ = Color();  // keeps what it shows now
    parentColor_ = value;
    ShownChanged(&TWinControl::parentColor_, &TWinControl::ColorChanged);
}

void TWinControl::ShownChanged(bool TWinControl::*inherits, void (TWinControl::*changed)()) {
    (this->*changed)();
    for (TWinControl* child : children_)
        if (child->*inherits) child->ShownChanged(inherits, changed);
}

void TWinControl::ColorChanged() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

const TFont& TWinControl::Font() const { return parentFont_ && parent_ ? parent_->Font() : font_; }

void TWinControl::SetFont(const TFont& font) {
    font_ = font;
    parentFont_ = false;
    ShownChanged(&TWinControl::parentFont_, &TWinControl::FontChanged);
}

void TWinControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    if (!value) font_ = Font();
    parentFont_ = value;
    ShownChanged(&TWinControl::parentFont_, &TWinControl::FontChanged);
}

void TWinControl::FontChanged() {
    if (!handle_) return;
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    InvalidateRect(handle_, nullptr, TRUE);
}

HFONT TWinControl::FontHandle() const { return GdiCache().Font(Font()); }

HBRUSH TWinControl::CtlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(Font().Color));
    SetBkColor(dc, ColorToRGB(Color()));
    return GdiCache().Brush(Color());
}

void TWinControl::EraseWithColor(HDC dc) {
    RECT r{};
    GetClientRect(handle_, &r);
    FillRect(dc, &r, GdiCache().Brush(Color()));
}

void TWinControl::SetTabStop(bool value) {
    tabStop_ = value;
    if (!handle_) return;
    LONG style = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

bool TWinControl::CanFocus() const {
    if (!handle_ || !IsWindowVisible(handle_)) return false;
    for (const TWinControl* c = this; c; c = c->parent_)
        if (!c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (TForm* form = ParentForm(); form && form != static_cast<TWinControl*>(this)) {
        form->SetActiveControl(this);
        return;
    }
    if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::BringToFront() {
    if (page_ && parent_) {
        SetVisible(true);
        for (TWinControl* sibling : parent_->children_)
            if (sibling != this && sibling->page_) sibling->SetVisible(false);
    }
    if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Repaint() {
    if (!handle_) return;
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace zub
