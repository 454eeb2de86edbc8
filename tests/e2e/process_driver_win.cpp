#include "tests/e2e/process_driver_win.h"

#include <algorithm>
#include <cstring>

namespace zub::e2e {

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

namespace {

// This process's environment with TMP and TEMP replaced, for a child.
std::vector<char> EnvironmentWithTemp(const std::string& tempDir) {
    std::vector<char> block;
    char* env = GetEnvironmentStringsA();
    for (const char* p = env; *p; p += std::strlen(p) + 1)
        if (_strnicmp(p, "TMP=", 4) != 0 && _strnicmp(p, "TEMP=", 5) != 0) block.insert(block.end(), p, p + std::strlen(p) + 1);
    FreeEnvironmentStringsA(env);
    for (const std::string entry : {"TEMP=" + tempDir, "TMP=" + tempDir}) block.insert(block.end(), entry.begin(), entry.end() + 1);
    block.push_back('\0');
    return block;
}

bool Start(std::string commandLine, const std::vector<char>* environment, PROCESS_INFORMATION& pi) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    void* env = environment ? const_cast<char*>(environment->data()) : nullptr;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, env, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    return true;
}

}  // namespace

TSetupProcess::TSetupProcess(const std::string& exe, const std::string& tempDir, const std::string& arguments) {
    const std::vector<char> environment = EnvironmentWithTemp(tempDir);
    PROCESS_INFORMATION pi{};
    if (Start("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments), &environment, pi)) {
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

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct TWindowSearch {
    std::function<bool(HWND)> Wanted;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TWindowSearch*>(param);
    if (search->Wanted(window)) search->Found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(std::function<bool(HWND)> wanted) {
    TWindowSearch search{std::move(wanted), {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

DWORD OwnerOf(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

}  // namespace

std::vector<HWND> TSetupProcess::Windows(const char* className, bool visibleOnly) const {
    return TopLevelWindows([&](HWND w) {
        return OwnerOf(w) == id_ && lstrcmpiA(ClassOf(w).c_str(), className) == 0 && (!visibleOnly || IsWindowVisible(w));
    });
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

HWND TSetupProcess::WaitForBox(const std::string& start, HWND except, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND box : Windows("#32770"))
                if (box != except && MessageBoxText(box).rfind(start, 0) == 0) found = box;
            return found != nullptr || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return found;
}

bool TSetupProcess::WaitWindowsGone(const char* className, DWORD timeoutMs) const {
    return WaitFor([&] { return Windows(className).empty(); }, timeoutMs);
}

bool TSetupProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_, &exitCode_);
    return true;
}

::testing::AssertionResult TSetupProcess::Ends(DWORD expectedCode, DWORD timeoutMs) {
    if (!process_) return ::testing::AssertionFailure() << "the process did not start";
    if (!WaitForExit(timeoutMs)) return ::testing::AssertionFailure() << "the process did not end within " << timeoutMs << " ms";
    if (exitCode_ != expectedCode)
        return ::testing::AssertionFailure() << "the process ended with exit code " << exitCode_ << ", not " << expectedCode;
    return ::testing::AssertionSuccess();
}

bool TSetupProcess::WatchUntilExit(std::set<std::string>& shown, DWORD timeoutMs) {
    return WaitFor(
        [&] {
            for (HWND w : TopLevelWindows([&](HWND w) { return OwnerOf(w) == id_ && IsWindowVisible(w); }))
                shown.insert(ClassOf(w));
            return WaitForExit(0);
        },
        timeoutMs);
}

DWORD RunCommand(const std::string& commandLine, DWORD timeoutMs) {
    PROCESS_INFORMATION pi{};
    if (!Start(commandLine, nullptr, pi)) return kNotRun;
    DWORD code = kNotRun;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return code;
}

std::vector<HWND> TopWindows(const char* className, const std::string& titlePart) {
    return TopLevelWindows([&](HWND w) {
        // The title as the system keeps it: no message to a process that may be busy.
        char title[512] = {};
        GetWindowTextA(w, title, sizeof title);
        return lstrcmpiA(ClassOf(w).c_str(), className) == 0 && std::string(title).find(titlePart) != std::string::npos;
    });
}

bool CloseTopWindows(const char* className, DWORD timeoutMs) {
    for (HWND window : TopWindows(className)) Close(window);
    return WaitFor([&] { return TopWindows(className).empty(); }, timeoutMs);
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 5000, &got);
    text.resize(std::min(static_cast<size_t>(got), text.size() - 1));
    return text;
}

std::string MessageBoxText(HWND box) {
    // The box's text is its static control with the id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

void Answer(HWND box, int buttonId) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

}  // namespace zub::e2e
