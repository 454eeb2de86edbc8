#include "ui/controls_win.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "base/error.h"
#include "ui/application_win.h"
#include "ui/form_win.h"

namespace zub {
namespace {

TCreateParams SystemControl(const char* className, DWORD style, DWORD exStyle = 0) {
    TCreateParams params;
    params.ClassName = className;
    params.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style;
    params.ExStyle = exStyle;
    params.OwnClass = false;
    return params;
}

}  // namespace

// ---- TPanel

TPanel::TPanel(TComponent* owner, TWinControl* parent, bool visible) : TWinControl(owner, parent) {
    erasesWithColor_ = true;
    TCreateParams params;
    params.ClassName = "TPanel";
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    params.ExStyle = WS_EX_CONTROLPARENT;
    CreateHandle(params);
}

// ---- TLabel

TLabel::TLabel(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    CreateHandle(SystemControl("STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX));
    AdjustSize();
}

void TLabel::SetText(const std::string& text) {
    TWinControl::SetText(text);
    AdjustSize();
}

void TLabel::UpdateStyle() {
    if (!HandleAllocated()) return;
    DWORD type = SS_LEFTNOWORDWRAP;
    if (alignment_ == TAlignment::taCenter) type = SS_CENTER;
    else if (alignment_ == TAlignment::taRightJustify) type = SS_RIGHT;
    else if (wordWrap_) type = SS_LEFT;
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>((style & ~SS_TYPEMASK) | type));
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TLabel::SetAlignment(TAlignment value) {
    alignment_ = value;
    UpdateStyle();
}

void TLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    UpdateStyle();
    AdjustSize();
}

void TLabel::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

TClientSize TLabel::MeasureText() const {
    std::string text = Text();
    if (text.empty()) text = " ";  // an empty label is one line high
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, FontHandle());
    RECT r{0, 0, wordWrap_ ? ClientSize().Width : 0, 0};
    UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return {r.right - r.left, r.bottom - r.top};
}

void TLabel::AdjustSize() {
    if (!autoSize_ || adjusting_ || !HandleAllocated()) return;
    adjusting_ = true;
    const TClientSize size = MeasureText();
    const TBounds& b = Bounds();
    if (wordWrap_) {
        if (size.Height != b.Height) SetBounds(b.Left, b.Top, b.Width, size.Height);
    } else if (size.Width != b.Width || size.Height != b.Height) {
        SetBounds(b.Left, b.Top, size.Width, size.Height);
    }
    adjusting_ = false;
}

void TLabel::FontChanged() {
    TWinControl::FontChanged();
    AdjustSize();
}

void TLabel::Resized() {
    // A new width wraps the text anew; the static control repaints it all.
    InvalidateRect(Handle(), nullptr, TRUE);
    if (wordWrap_) AdjustSize();
}

HBRUSH TLabel::CtlColor(HDC dc) {
    HBRUSH brush = TWinControl::CtlColor(dc);
    if (Transparent) SetBkMode(dc, TRANSPARENT);
    return brush;
}

// ---- TButtonControl

void TButtonControl::Click() {
    if (OnClick) OnClick();
}

void TButtonControl::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

// ---- TButton

TButton::TButton(TComponent* owner, TWinControl* parent) : TButtonControl(owner, parent) {
    CreateHandle(SystemControl("BUTTON", BS_PUSHBUTTON | WS_TABSTOP));
}

void TButton::Click() {
    if (ModalResult != mrNone) {
        if (TForm* form = ParentForm()) form->SetModalResult(ModalResult);
    }
    TButtonControl::Click();
}

// ---- TCheckBox

TCheckBox::TCheckBox(TComponent* owner, TWinControl* parent) : TButtonControl(owner, parent) {
    CreateHandle(SystemControl("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP));
}

bool TCheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool value) {
    if (value == Checked()) return;
    SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    Click();
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    erasesWithColor_ = true;
    CreateHandle(SystemControl("BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT));
}

// ---- TEdit

TEdit::TEdit(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    SetColor(clWindow);
    CreateHandle(SystemControl("EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE));
}

void TEdit::SetText(const std::string& text) {
    const int before = changes_;
    TWinControl::SetText(text);
    // The change event follows the program's change as it follows typing.
    if (changes_ == before && OnChange) OnChange();
}

void TEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TEdit::Command(WORD code) {
    if (code != EN_CHANGE) return;
    ++changes_;
    if (OnChange) OnChange();
}

// ---- TMemo

TMemo::TMemo(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    SetColor(clWindow);
    CreateHandle(SystemControl("EDIT",
                               ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                                   WS_HSCROLL | WS_TABSTOP,
                               WS_EX_CLIENTEDGE));
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);  // as much as the system allows
}

void TMemo::SetMaxLength(size_t length) {
    maxLength_ = length;
    SendMessageA(Handle(), EM_SETLIMITTEXT, length, 0);
}

void TMemo::SetText(const std::string& text) {
    const size_t length = strlen(text.c_str());  // the window's text ends at a NUL
    if (maxLength_ != 0 && length > maxLength_) throw Error("Text exceeds memo capacity");
    const std::string old = Text();
    const BOOL set = SetWindowTextA(Handle(), text.c_str());
    if (!set || static_cast<size_t>(GetWindowTextLengthA(Handle())) != length) {
        SetWindowTextA(Handle(), old.c_str());
        throw Error("Text exceeds memo capacity");
    }
}

int TMemo::LineCount() const { return static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0)); }

bool TMemo::ReadOnly() const { return (GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY) != 0; }

void TMemo::SetReadOnly(bool value) { SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0); }

// ---- TListBox

TListBox::TListBox(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    SetColor(clWindow);
    CreateHandle(SystemControl("LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                               WS_EX_CLIENTEDGE));
}

void TListBox::AddItem(const std::string& text) {
    const LRESULT at = SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) throw Error("List box is full");
}

void TListBox::Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

int TListBox::Count() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0)); }

std::string TListBox::Item(int index) const {
    const LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) throw Error("List index out of bounds (" + std::to_string(index) + ")");
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<size_t>(length));
}

int TListBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int index) { SendMessageA(Handle(), LB_SETCURSEL, index, 0); }

void TListBox::SetItemHeight(int height) { SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height); }

int TListBox::ItemHeight() const { return static_cast<int>(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0)); }

void TListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE && OnClick) OnClick();
}

// ---- TProgressBar

TProgressBar::TProgressBar(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
    UseCommonControls();
    CreateHandle(SystemControl(PROGRESS_CLASSA, 0));
}

void TProgressBar::SetRange(int min, int max) { SendMessageA(Handle(), PBM_SETRANGE32, min, max); }

int TProgressBar::Min() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0)); }

int TProgressBar::Max() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0)); }

int TProgressBar::Position() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0)); }

void TProgressBar::SetPosition(int position) { SendMessageA(Handle(), PBM_SETPOS, position, 0); }

}  // namespace zub
