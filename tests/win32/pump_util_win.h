// Message pumping for the Win32 tests: messages are handled the way the
// program's own loops handle them (dialog keys included), and waiting is for
// a condition, never for a fixed time.
#pragma once

#include <windows.h>

#include <functional>

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

}  // namespace zub::test
