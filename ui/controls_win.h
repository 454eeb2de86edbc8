// The standard controls: thin wrappers of the system's controls (real
// windows, so every text and state can be read back through the window's own
// messages). Each is made on a parent control and owned by its owner:
//     TLabel& head = form.Own<TLabel>(page);
// Colours and fonts come from the parent unless given (ui/window_win.h).
#pragma once

#include <string>

#include "ui/window_win.h"

namespace zub {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// A plain container without bevel, in its parent's colour unless given one.
// One made hidden is never on screen while its children are made.
class TPanel : public TWinControl {
public:
    TPanel(TComponent* owner, TWinControl* parent, bool visible = true);
};

// A static text. With AutoSize (the default) its height follows its text:
// word-wrapped at the label's width when WordWrap is set, else the width
// follows the text too. It shows its parent's colour behind the text.
class TLabel : public TWinControl {
public:
    TLabel(TComponent* owner, TWinControl* parent);

    // Sets the text; the size follows it.
    void SetText(const std::string& text) override;
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool AutoSize() const { return autoSize_; }
    // Switching it on measures the text at once.
    void SetAutoSize(bool value);
    // Fits the height (and without word wrap the width) to the text, measured
    // with the label's real font; nothing when AutoSize is off.
    void AdjustSize();
    // The size the text needs: at the label's width when word-wrapped.
    TClientSize MeasureText() const;

    bool Transparent = true;

protected:
    HBRUSH CtlColor(HDC dc) override;
    void FontChanged() override;
    void Resized() override;

private:
    void UpdateStyle();
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool wordWrap_ = false;
    bool autoSize_ = true;
    bool adjusting_ = false;
};

// What the push button and the check box share: a click of the system's
// button (BN_CLICKED) does what Click does, which calls OnClick.
class TButtonControl : public TWinControl {
public:
    using TWinControl::TWinControl;

    virtual void Click();

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

// A push button. A button with a modal result gives its form that result
// when clicked (before OnClick), which ends the form's modal loop.
class TButton : public TButtonControl {
public:
    TButton(TComponent* owner, TWinControl* parent);

    void Click() override;

    int ModalResult = 0;
};

// A check box. OnClick follows every change of the state: the user's and
// the program's (SetChecked to another state).
class TCheckBox : public TButtonControl {
public:
    TCheckBox(TComponent* owner, TWinControl* parent);

    bool Checked() const;
    void SetChecked(bool value);
};

// A frame with a caption around other controls.
class TGroupBox : public TWinControl {
public:
    TGroupBox(TComponent* owner, TWinControl* parent);
};

// A single-line text field, in the window colour by default. OnChange
// follows every change of the text, typed or set by the program.
class TEdit : public TWinControl {
public:
    TEdit(TComponent* owner, TWinControl* parent);

    void SetText(const std::string& text) override;
    void SelectAll();

    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;

private:
    int changes_ = 0;
};

// A multi-line text field, read-only, with both scroll bars, in the window
// colour by default.
class TMemo : public TWinControl {
public:
    TMemo(TComponent* owner, TWinControl* parent);

    // Sets the text; a text larger than the control takes raises an error and
    // leaves the text as it was.
    void SetText(const std::string& text) override;
    // Most characters the control takes (0: as many as the system allows).
    void SetMaxLength(size_t length);
    size_t MaxLength() const { return maxLength_; }
    int LineCount() const;
    bool ReadOnly() const;
    void SetReadOnly(bool value);

private:
    size_t maxLength_ = 0;
};

// A list of texts with at most one selected. OnClick follows a change of
// the selection by the user (click or keys).
class TListBox : public TWinControl {
public:
    TListBox(TComponent* owner, TWinControl* parent);

    void AddItem(const std::string& text);
    void Clear();
    int Count() const;
    std::string Item(int index) const;
    // The selected index, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    void SetItemHeight(int height);
    int ItemHeight() const;

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

// A progress bar with a range and a position.
class TProgressBar : public TWinControl {
public:
    TProgressBar(TComponent* owner, TWinControl* parent);

    void SetRange(int min, int max);
    int Min() const;
    int Max() const;
    int Position() const;
    void SetPosition(int position);
};

}  // namespace zub
