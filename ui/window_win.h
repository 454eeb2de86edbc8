// The window base of every control and form: owns its window handle, has a
// parent control and children (in creation order), keeps its bounds as the
// window system reports them, lays out its children by alignment and anchors,
// hands its colour and font down to children that take their parent's, and
// is the boundary where exceptions from message handlers stop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/events.h"
#include "base/font.h"
#include "ui/layout.h"

namespace zub {

// Sees a control's messages before the control does; true when it has
// answered the message (with `result`), false to let the control go on.
using TMessageHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

struct TCreateParams {
    const char* ClassName = "";
    DWORD Style = WS_CHILD | WS_VISIBLE;
    DWORD ExStyle = 0;
    // The parent window; null takes the parent control's window.
    HWND Parent = nullptr;
    std::string Caption;
    // A window class this control registers itself, with the framework's
    // window procedure; false to use a system class, which is subclassed.
    bool OwnClass = true;
    HBRUSH Background = nullptr;  // of an own class; null leaves erasing to the control
};

class TForm;

class TWinControl : public TComponent {
public:
    // A control on `parent` (null: a top-level window, or a child whose parent
    // window is given in TCreateParams::Parent). The window is made by the
    // derived class's constructor (CreateHandle).
    explicit TWinControl(TComponent* owner, TWinControl* parent = nullptr);
    ~TWinControl() override;

    // The control a window belongs to, or null for a window of no control.
    static TWinControl* FromHandle(HWND window);

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    TWinControl* Parent() const { return parent_; }
    // The children, in creation order.
    const std::vector<TWinControl*>& Controls() const { return children_; }
    // The form this control is on (itself for a form), or null.
    TForm* ParentForm();

    // Bounds: left and top in the parent's client coordinates (the screen's
    // for a top-level window), width and height of the whole window. What the
    // window really is: kept from every change the window system reports.
    const TBounds& Bounds() const { return bounds_; }
    // Moves and sizes the control; the anchors measure from here afterwards.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, bounds_.Top, bounds_.Width, bounds_.Height); }
    void SetTop(int top) { SetBounds(bounds_.Left, top, bounds_.Width, bounds_.Height); }
    void SetWidth(int width) { SetBounds(bounds_.Left, bounds_.Top, width, bounds_.Height); }
    void SetHeight(int height) { SetBounds(bounds_.Left, bounds_.Top, bounds_.Width, height); }
    TClientSize ClientSize() const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors anchors);
    // Lays out the children for the current client size.
    void Realign();

    // The control's own visible flag, whatever its parents show.
    bool Visible() const;
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible on the screen: the control and all its parents are visible.
    bool Showing() const;
    // A disabled control gets no mouse or keyboard input.
    virtual void SetEnabled(bool enabled);
    bool Enabled() const;

    // The window text (a caption, a label's text, an edit's contents), as
    // Windows-1252 bytes.
    std::string Text() const;
    virtual void SetText(const std::string& text);
    // The same, by the name of controls that show their text as a caption.
    void SetCaption(const std::string& text) { SetText(text); }

    // Colour: the control's own, or its parent's while ParentColor is set.
    TColor Color() const;
    void SetColor(TColor color);  // clears ParentColor
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    // Font: the control's own, or its parent's while ParentFont is set.
    const TFont& Font() const;
    void SetFont(const TFont& font);  // clears ParentFont
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    // The real font of Font(), owned by the framework's GDI cache.
    HFONT FontHandle() const;

    // Keyboard: Tab visits the controls with a tab stop in creation order.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // Visible, enabled, with all parents so, and its window able to take the focus.
    bool CanFocus() const;
    void SetFocus();
    bool Focused() const;

    // Moves the control to the top of its siblings. A page (SetPage) is shown
    // and its sibling pages are hidden, so exactly one page is visible.
    void BringToFront();
    bool IsPage() const { return page_; }
    void SetPage(bool value) { page_ = value; }

    // Repaints the control and its children now.
    void Repaint();

    // For another component that needs this control's messages (a tree view
    // that follows its form's device changes, say); one at a time.
    TMessageHook MessageHook;

protected:
    void CreateHandle(const TCreateParams& params);
    void DestroyHandle();
    // Message handling; the default passes the message on to the window class.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

    // A WM_COMMAND notification this control sent to its parent (reflected back).
    virtual void Command(WORD code) {}
    // A WM_NOTIFY notification this control sent to its parent; `handled`
    // false lets the parent's window class answer.
    virtual LRESULT Notify(NMHDR& header, bool& handled) {
        handled = false;
        return 0;
    }
    // Answers WM_CTLCOLOR* for this control: text and background colour into
    // dc, and the brush of the background; null for the system's default.
    virtual HBRUSH CtlColor(HDC dc);
    // Fills the client area with the control's colour (for WM_ERASEBKGND).
    void EraseWithColor(HDC dc);
    // Set by containers that show their own colour behind their children
    // (panels, group boxes), before their window is made: WM_ERASEBKGND
    // then fills the client area with it.
    bool erasesWithColor_ = false;

    // After the font or colour this control shows has changed (its own or inherited).
    virtual void FontChanged();
    virtual void ColorChanged();
    // After the window's size changed, before the children are laid out.
    virtual void Resized() {}
    // The client size the children are laid out in.
    virtual TClientSize LayoutClientSize() const { return ClientSize(); }

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void PositionChanged(const WINDOWPOS& pos);
    void ApplyLayoutBounds(const TBounds& bounds);
    void RecordAnchorOrigin();
    void ParentLayoutChanged();
    // The control shows a new colour or font: `changed` (ColorChanged,
    // FontChanged) for it and for the children that take theirs from it, as
    // `inherits` (parentColor_, parentFont_) says, generation by generation.
    void ShownChanged(bool TWinControl::*inherits, void (TWinControl::*changed)());
    TLayoutItem LayoutItem() const;

    HWND handle_ = nullptr;
    WNDPROC systemProc_ = nullptr;  // the window class's procedure
    TWinControl* parent_ = nullptr;
    std::vector<TWinControl*> children_;
    TBounds bounds_;
    TBounds anchorOrigin_;
    TClientSize anchorParent_;
    TAlign align_ = TAlign::alNone;
    TAnchors anchors_ = kDefaultAnchors;
    bool visible_ = false;  // until the window exists
    bool parentColor_ = true;
    bool parentFont_ = true;
    bool tabStop_ = false;
    bool page_ = false;
    TColor color_ = clBtnFace;
    TFont font_;
    int aligning_ = 0;
    bool layoutMoving_ = false;  // the layout is moving this control
    bool realignPending_ = false;
};

// Shows an exception that escaped a handler in the application's error box.
void ShowException(HWND owner, const char* message);

}  // namespace zub
