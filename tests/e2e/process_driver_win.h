// Drives a setup process from outside, as a user would: starts it, finds its
// windows, reads their texts, answers message boxes and waits for its end.
// Every wait polls a condition with a deadline; nothing sleeps a fixed time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace zub::e2e {

// Polls `condition` every few milliseconds until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

class TSetupProcess {
public:
    // Starts `exe` with `arguments` after its name, and with TMP and TEMP set
    // to `tempDir` for it (and what it starts) alone.
    TSetupProcess(const std::string& exe, const std::string& tempDir, const std::string& arguments = "");
    ~TSetupProcess();  // kills the process if it still runs
    TSetupProcess(const TSetupProcess&) = delete;
    TSetupProcess& operator=(const TSetupProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }

    // Top-level windows of the process with the given class ("#32770" for a
    // message box); visible ones only when `visibleOnly`.
    std::vector<HWND> Windows(const char* className, bool visibleOnly = true) const;
    // The first visible one; null on time-out or when the process ends first.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 20000) const;
    // A visible message box whose text begins with `start` and that is not `except`.
    HWND WaitForBox(const std::string& start = "", HWND except = nullptr, DWORD timeoutMs = 20000) const;
    // Waits until the process shows no window of the class any more.
    bool WaitWindowsGone(const char* className, DWORD timeoutMs = 20000) const;

    // Waits for the end of the process; false on time-out.
    bool WaitForExit(DWORD timeoutMs = 20000);
    DWORD ExitCode() const { return exitCode_; }
    // Waits for the end and checks the exit code.
    ::testing::AssertionResult Ends(DWORD expectedCode, DWORD timeoutMs = 20000);
    // Watches the process to its end: the classes of the top-level windows it
    // ever showed. False on time-out.
    bool WatchUntilExit(std::set<std::string>& shown, DWORD timeoutMs = 60000);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    DWORD exitCode_ = STILL_ACTIVE;
};

// Runs a command line to its end, without watching it; its exit code, or
// kNotRun when it could not start or did not end within `timeoutMs`.
inline constexpr DWORD kNotRun = 999;
DWORD RunCommand(const std::string& commandLine, DWORD timeoutMs = 60000);

// Top-level windows of any process with this class, whose title holds `titlePart`.
std::vector<HWND> TopWindows(const char* className, const std::string& titlePart = "");
// Asks every one of them to close and waits until they are gone.
bool CloseTopWindows(const char* className, DWORD timeoutMs = 5000);

// The whole text of a window, however long.
std::string WindowText(HWND window);
// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);
// Presses a button of a message box or dialog by its id (IDOK, IDYES, ...).
void Answer(HWND box, int buttonId);
inline void PressOk(HWND box) { Answer(box, IDOK); }
// Asks a window to close, as its close box does.
inline void Close(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

}  // namespace zub::e2e
