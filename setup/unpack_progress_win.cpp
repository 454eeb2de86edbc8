#include "setup/unpack_progress_win.h"

#include "base/language_win.h"
#include "base/timeline.h"
#include "setup/unpack_feedback.h"

namespace zub {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 64;
constexpr int kMargin = 12;
// The window is serviced this often while the unpacking runs, and redrawn
// at most this often: each redraw costs the window system a round trip, which
// under Wine is time taken from the unpacking.
constexpr DWORD kPumpIntervalMs = 50;
constexpr DWORD kRedrawIntervalMs = 100;

// Milliseconds on the system clock, the clock the process's start is told on.
int64_t ToMs(const FILETIME& time) {
    return int64_t((uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 10000);
}

int64_t NowMs() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ToMs(now);
}

// When the process started; `fallback` when the system cannot say sensibly.
int64_t ProcessStartMs(int64_t fallback) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return fallback;
    const int64_t start = ToMs(created);
    return start <= fallback && fallback - start < 60000 ? start : fallback;
}

void RegisterClassOnce(WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));  // IDC_APPSTARTING: busy, still usable
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = TUnpackProgressWindow::kClassName;
    registered = RegisterClassA(&wc) != 0;
}

}  // namespace

TUnpackProgressWindow::TUnpackProgressWindow()
    : tracker_([this](int percent) { Changed(percent); }), german_(IsGerman(UserInterfaceLanguage())) {
    startMs_ = ProcessStartMs(NowMs());
}

TUnpackProgressWindow::~TUnpackProgressWindow() {
    if (window_) DestroyWindow(window_);
}

int64_t TUnpackProgressWindow::ElapsedMs() const { return NowMs() - startMs_; }

// Called on every progress report: cheap unless the window is due.
void TUnpackProgressWindow::Changed(int percent) {
    const DWORD tick = GetTickCount();
    if (tick - lastPumpTick_ < kPumpIntervalMs) return;
    lastPumpTick_ = tick;
    if (!window_) {
        if (!UnpackFeedbackWanted(ElapsedMs(), tracker_.TotalBytes(), percent)) return;
        Show();
    }
    if (percent != percent_ && tick - lastRedrawTick_ >= kRedrawIntervalMs) {
        lastRedrawTick_ = tick;
        percent_ = percent;
        text_ = UnpackFeedbackText(german_, percent);
        SetWindowTextA(window_, text_.c_str());
        InvalidateRect(window_, nullptr, FALSE);
    }
    PumpMessages();
}

void TUnpackProgressWindow::Show() {
    RegisterClassOnce(WindowProc);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - kWidth) / 2;
    const int top = work.top + (work.bottom - work.top - kHeight) / 2;
    // A plain bordered pop-up: no caption, so no close box, and nothing for a
    // window manager to decorate.
    window_ = CreateWindowExA(0, kClassName, "", WS_POPUP | WS_BORDER, left, top, kWidth, kHeight, nullptr, nullptr,
                              GetModuleHandleA(nullptr), this);
    if (!window_) return;  // no feedback then; the unpacking goes on regardless
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    timeline::Mark("progress window shown");
}

// Only this window's messages are taken: the wizard form is still being
// built and must not see input or a request to close yet.
void TUnpackProgressWindow::PumpMessages() {
    MSG msg;
    while (window_ && PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TUnpackProgressWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT textRect{kMargin, 8, client.right - kMargin, 28};
    DrawTextA(dc, text_.c_str(), -1, &textRect, DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    RECT bar{kMargin, 34, client.right - kMargin, 50};
    FrameRect(dc, &bar, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT filled{bar.left + 1, bar.top + 1, bar.left + 1 + (bar.right - bar.left - 2) * percent_ / 100, bar.bottom - 1};
    if (filled.right > filled.left) FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
    EndPaint(window_, &ps);
}

LRESULT CALLBACK TUnpackProgressWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TUnpackProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT:
            if (self && self->window_ == window) {
                self->Paint();
                return 0;
            }
            break;
        case WM_CLOSE:
            return 0;  // it goes when the unpacking is done, not before
        case WM_DESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zub
