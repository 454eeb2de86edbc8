// Message pumping for the Win32 tests: messages are handled the way the
// program's own loops handle them (dialog keys included), and waiting is for
// a condition, never for a fixed time.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/application_win.h"

namespace zub::test {

// Handles every message waiting now, and what that brings about at once.
inline void Pump(int rounds = 3) {
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            ProcessMessage(msg);
        }
        if (!any) break;
    }
}

// Handles messages until the condition holds or the time is up; waits for
// the next message (or 5 ms) between checks. Returns the condition.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Waits, handling nothing, until a `message` for `window` is in the queue (a
// timer's comes once its time has passed); false when none came in time.
inline bool WaitForQueued(HWND window, UINT message, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    for (MSG msg; !PeekMessageA(&msg, window, message, message, PM_NOREMOVE);) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

// Steps run one by one from the message loop that is running (a modal
// form's), each when the effects of the one before have been handled: a
// timer's message comes only when no other message is waiting.
class TScript {
public:
    explicit TScript(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 1, &TScript::Tick);
    }
    ~TScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;
    bool Done() const { return next_ == steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TScript* script = current_;
        if (!script || script->Done()) return;
        script->steps_[script->next_++]();
    }
    static inline TScript* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

}  // namespace zub::test
