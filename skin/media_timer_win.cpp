#include "skin/media_timer_win.h"

namespace zub {

TMediaPurgeTimer::TMediaPurgeTimer(KMediaList& media, UINT intervalMs) : media_(media) {
    window_ = CreateWindowExA(0, "STATIC", "KMediaList", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_) return;  // no purging then; the cache still works
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetTimer(window_, 1, intervalMs, &TMediaPurgeTimer::TimerProc);
}

TMediaPurgeTimer::~TMediaPurgeTimer() {
    if (!window_) return;
    KillTimer(window_, 1);
    DestroyWindow(window_);
}

void CALLBACK TMediaPurgeTimer::TimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    auto* self = reinterpret_cast<TMediaPurgeTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) self->media_.TimerTimer();
}

}  // namespace zub
