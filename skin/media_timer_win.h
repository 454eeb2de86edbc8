// The image cache's purge timer: a window-message timer of 60000 ms on a
// message-only window, running between other messages of the GUI thread.
#pragma once

#include <windows.h>

#include "skin/media_list.h"

namespace zub {

class TMediaPurgeTimer {
public:
    explicit TMediaPurgeTimer(KMediaList& media, UINT intervalMs = KMediaList::kPurgeIntervalMs);
    ~TMediaPurgeTimer();
    TMediaPurgeTimer(const TMediaPurgeTimer&) = delete;
    TMediaPurgeTimer& operator=(const TMediaPurgeTimer&) = delete;

    HWND Window() const { return window_; }

private:
    static void CALLBACK TimerProc(HWND window, UINT, UINT_PTR, DWORD);

    KMediaList& media_;
    HWND window_ = nullptr;
};

}  // namespace zub
