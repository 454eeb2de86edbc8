#include "tests/e2e/process_driver_win.h"

namespace zub::e2e {

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

TSetupProcess::TSetupProcess(const std::string& exe, const std::string& tempDir, const std::string& arguments) {
    // The child inherits the environment: point its temporary directory at ours.
    SetEnvironmentVariableA("TMP", tempDir.c_str());
    SetEnvironmentVariableA("TEMP", tempDir.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
    }
}

TSetupProcess::~TSetupProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

namespace {

struct WindowSearch {
    DWORD id;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == s->id && lstrcmpiA(name, s->className) == 0 && (!s->visibleOnly || IsWindowVisible(window)))
        s->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TSetupProcess::Windows(const char* className, bool visibleOnly) const {
    WindowSearch search{id_, className, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TSetupProcess::WaitForWindow(const char* className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> windows = Windows(className);
            if (!windows.empty()) found = windows.front();
            return found != nullptr || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return found;
}

bool TSetupProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_, &exitCode_);
    return true;
}

std::string WindowText(HWND window) {
    char buffer[4096] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::string MessageBoxText(HWND box) {
    // The box's text is its static control with the id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

void PressOk(HWND box) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

}  // namespace zub::e2e
