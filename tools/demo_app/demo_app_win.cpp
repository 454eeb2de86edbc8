// The demo project's application: one window with a greeting and a button
// that closes it. It is what the demo setup installs and launches.
// When a record file is named (demo_record.h), it only appends the folder it
// was started in to that file and ends: the end-to-end tests see that the
// setup launched it, and where.
#include <windows.h>

#include "tools/demo_app/demo_record.h"

namespace {

constexpr int kCloseButton = 1;
const char kGreeting[] =
    "Hello! This program was installed by the SkinSetup demo.\r\n\r\n"
    "It does nothing else; remove it again under Programs and Features.";

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance;
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        HWND text = CreateWindowA("STATIC", kGreeting, WS_CHILD | WS_VISIBLE, 16, 16, 340, 60, window, nullptr,
                                  instance, nullptr);
        HWND button = CreateWindowA("BUTTON", "Close", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 276, 90, 80, 26,
                                    window, reinterpret_cast<HMENU>(kCloseButton), instance, nullptr);
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseButton) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The record file from the environment, else from the registry; false when neither names one.
bool RecordFile(char (&record)[MAX_PATH]) {
    DWORD n = GetEnvironmentVariableA(zub::demo::kRecordVariable, record, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return true;
    DWORD size = MAX_PATH - 1;
    record[0] = '\0';
    return RegGetValueA(HKEY_CURRENT_USER, zub::demo::kRecordKey, zub::demo::kRecordValue, RRF_RT_REG_SZ, nullptr,
                        record, &size) == ERROR_SUCCESS &&
           record[0] != '\0';
}

// Appends the current folder to the record file; false when there is none.
bool RecordStart() {
    char record[MAX_PATH] = {};
    if (!RecordFile(record)) return false;
    char folder[MAX_PATH + 2] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return true;
    folder[length++] = '\r';
    folder[length++] = '\n';
    HANDLE file = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    DWORD written = 0;
    WriteFile(file, folder, length, &written, nullptr);
    CloseHandle(file);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (RecordStart()) return 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "SkinSetupDemoApp";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowA("SkinSetupDemoApp", "SkinSetup Demo", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 390, 160, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
