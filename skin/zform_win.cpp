#include "skin/zform_win.h"

namespace zub {

TZForm::TZForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
               int height)
    : TSkinnedWindow(owner, className, caption, style, width, height) {}

void TZForm::SetScale(float value) {
    if (engine_.SetScale(value)) Changed();
}

LRESULT TZForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) engine_.BufferValid = false;
    return TSkinnedWindow::WndProc(message, wParam, lParam);
}

}  // namespace zub
