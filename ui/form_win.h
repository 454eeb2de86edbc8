// A top-level window. Closing the application's main form ends the message loop.
#pragma once

#include <string>

#include "ui/window_win.h"

namespace zub {

class TForm : public TWinControl {
public:
    // Creates the window hidden, with its window class named after the form
    // class, so that it can be found by class name.
    TForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
          int height);

    // Shows the form centred on the screen.
    void Show();
    // Hides the form; for the main form, ends the message loop.
    void Close();
    void Center();

    void SetMainForm(bool isMain) { isMainForm_ = isMain; }
    bool IsMainForm() const { return isMainForm_; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool isMainForm_ = false;
};

}  // namespace zub
