#include "ui/form_win.h"

namespace zub {

TForm::TForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
             int height)
    : TWinControl(owner) {
    SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, width, height);
    TCreateParams params;
    params.ClassName = className;
    params.Style = style & ~DWORD(WS_VISIBLE);
    params.Caption = caption;
    params.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    CreateHandle(params);
    Center();
}

void TForm::Center() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TBounds& b = Bounds();
    int left = work.left + ((work.right - work.left) - b.Width) / 2;
    int top = work.top + ((work.bottom - work.top) - b.Height) / 2;
    SetBounds(left, top, b.Width, b.Height);
}

void TForm::Show() {
    if (!HandleAllocated()) return;
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
}

void TForm::Close() {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    if (isMainForm_) PostQuitMessage(0);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Close();
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

}  // namespace zub
