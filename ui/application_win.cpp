#include "ui/application_win.h"

#include <commctrl.h>
#include <ole2.h>

#include <exception>

#include "base/error.h"
#include "base/timeline.h"

namespace zub {

void UseCommonControls() {
    static const bool loaded = [] {
        timeline::TStep step("common controls");
        // Loaded with the program, the library would start the window system
        // before main (it registers its window classes then), where nothing
        // can run beside it; loaded here, the manifest still picks version 6,
        // from where the hardened DLL search allows.
        using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        HMODULE library = LoadLibraryA("comctl32.dll");
        auto init = library ? reinterpret_cast<InitFn>(
                                  reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")))
                            : nullptr;
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        return init && init(&controls);
    }();
    if (!loaded) throw Error("The common controls could not be loaded");
}

int TApplication::Run(TForm& mainForm, const std::function<void()>& whenShown) {
    mainForm.SetMainForm(true);
    mainForm.Show();
    timeline::Mark("window shown");
    if (whenShown) whenShown();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
    return static_cast<int>(msg.wParam);
}

void ProcessMessage(const MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
        // A dialog key may run a handler here, outside any window procedure:
        // its exception stops here as it would there.
        try {
            if (form && form->DialogKey(msg)) return;
        } catch (const std::exception& e) {
            ShowException(form->Handle(), e.what());
            return;
        } catch (...) {
            ShowException(form->Handle(), "Unknown error");
            return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that waits for it
            return false;
        }
        ProcessMessage(msg);
    }
    return true;
}

TOleSession::TOleSession() {
    timeline::TStep step("OLE initialized");
    initialized_ = SUCCEEDED(OleInitialize(nullptr));
}

TOleSession::~TOleSession() {
    if (initialized_) OleUninitialize();
}

}  // namespace zub
