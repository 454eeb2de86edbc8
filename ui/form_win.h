// A top-level window. Closing the application's main form ends the message
// loop. A form shown modally runs its own loop until it has a modal result;
// it handles the dialog keys of its controls (Tab, Enter, Esc) and remembers
// which of them had the focus.
#pragma once

#include <string>

#include "ui/window_win.h"

namespace zub {

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

enum class TFormBorderStyle {
    bsNone,      // no border, no caption
    bsDialog,    // a dialog frame with caption, no system menu and so no close box
    bsSizeable,  // an ordinary sizeable window with caption and close box
};

class TButton;

class TForm : public TWinControl {
public:
    // Creates the window hidden, with its window class named after the form
    // class, so that it can be found by class name; width and height are the
    // outer size.
    TForm(TComponent* owner, const char* className, const std::string& caption, DWORD style, int width,
          int height);
    TForm(TComponent* owner, const char* className, const std::string& caption, TFormBorderStyle border,
          int width, int height);
    ~TForm() override;

    // Shows the form and gives the focus to its remembered control.
    void Show();
    // Shows the form as Show does, or hides it (without closing it).
    void SetVisible(bool visible) override;
    // Hides the form; for the main form, ends the message loop; a modal form
    // ends with CloseModalResult unless it has a result already.
    void Close();
    // Centres the form on the screen's work area.
    void Center();
    void SetClientSize(int width, int height);

    void SetMainForm(bool isMain) { isMainForm_ = isMain; }
    bool IsMainForm() const { return isMainForm_; }
    TFormBorderStyle BorderStyle() const { return border_; }

    // Shows the form modally: every other window of the program is disabled
    // until the form has a modal result, and enabled again before the form
    // hides. Returns the modal result.
    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    // A result other than mrNone ends the modal loop.
    void SetModalResult(int result) { modalResult_ = result; }
    // The result of closing the form in another way than with a button that
    // carries a result (the close box, Alt+F4, Close()).
    int CloseModalResult = mrCancel;

    // The control that has, or last had, the focus on this form.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus to the next (or previous) control with a tab stop, in
    // creation order, wrapping around.
    void SelectNext(bool forward = true);
    // The button Enter presses (unless a button has the focus) and the one
    // Esc presses; none by default, and then those keys do nothing.
    TButton* DefaultButton = nullptr;
    TButton* CancelButton = nullptr;
    // Handles Tab, Enter and Esc for the form's controls; true when the
    // message was a dialog key and has been dealt with. A form may give keys
    // a meaning of its own first.
    virtual bool DialogKey(const MSG& msg);

    TNotifyEvent OnShow;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TWinControl;
    void ControlFocused(TWinControl* control) { activeControl_ = control; }
    void ControlGone(TWinControl* control);
    void RestoreFocus();

    TFormBorderStyle border_ = TFormBorderStyle::bsNone;
    bool isMainForm_ = false;
    bool modal_ = false;
    int modalResult_ = mrNone;
    TWinControl* activeControl_ = nullptr;
};

}  // namespace zub
