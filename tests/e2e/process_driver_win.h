// Drives a setup process from outside, as a user would: starts it, finds its
// windows, reads their texts, answers message boxes and waits for its end.
// Every wait polls a condition with a deadline; nothing sleeps a fixed time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zub::e2e {

// Polls `condition` every few milliseconds until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

class TSetupProcess {
public:
    // Starts `exe` with TMP and TEMP set to `tempDir`, and `arguments` after its name.
    TSetupProcess(const std::string& exe, const std::string& tempDir, const std::string& arguments = "");
    ~TSetupProcess();  // kills the process if it still runs
    TSetupProcess(const TSetupProcess&) = delete;
    TSetupProcess& operator=(const TSetupProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }

    // Top-level windows of the process with the given class ("#32770" for a
    // message box); visible ones only when `visibleOnly`.
    std::vector<HWND> Windows(const char* className, bool visibleOnly = true) const;
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 20000) const;

    // Waits for the end of the process; false on time-out.
    bool WaitForExit(DWORD timeoutMs = 20000);
    DWORD ExitCode() const { return exitCode_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    DWORD exitCode_ = STILL_ACTIVE;
};

std::string WindowText(HWND window);
// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);
// Presses the message box's OK button.
void PressOk(HWND box);

}  // namespace zub::e2e
