// A small plain window ("Unpacking setup files... 42%") that appears when
// the unpacking at start-up takes a while, and goes when the object does,
// before the wizard shows or an error box appears.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "archive/unpack_progress.h"

namespace zub {

class TUnpackProgressWindow {
public:
    // Nothing is shown yet; the program's start is the time the window waits from.
    TUnpackProgressWindow();
    ~TUnpackProgressWindow();
    TUnpackProgressWindow(const TUnpackProgressWindow&) = delete;
    TUnpackProgressWindow& operator=(const TUnpackProgressWindow&) = delete;

    // Attach this to the readers of the unpacking.
    TUnpackProgress& Tracker() { return tracker_; }
    // The class name of the window, for those who look for it.
    static constexpr const char* kClassName = "TUnpackProgress";

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Changed(int percent);
    void Show();
    void Paint();
    void PumpMessages();
    int64_t ElapsedMs() const;

    TUnpackProgress tracker_;
    HWND window_ = nullptr;
    bool german_ = false;
    int percent_ = -1;
    std::string text_;
    int64_t startMs_ = 0;     // the program's start, on the clock of NowMs
    DWORD lastPumpTick_ = 0;    // GetTickCount of the last look at the window's messages
    DWORD lastRedrawTick_ = 0;  // and of the last change of its text
};

}  // namespace zub
