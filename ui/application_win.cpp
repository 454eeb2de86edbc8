#include "ui/application_win.h"

#include <commctrl.h>
#include <ole2.h>

namespace zub {

TApplication::TApplication() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

int TApplication::Run(TForm& mainForm) {
    mainForm.SetMainForm(true);
    mainForm.Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

TOleSession::TOleSession() { initialized_ = SUCCEEDED(OleInitialize(nullptr)); }

TOleSession::~TOleSession() {
    if (initialized_) OleUninitialize();
}

}  // namespace zub
