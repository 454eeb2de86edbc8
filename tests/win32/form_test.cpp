// Forms under Wine: border styles and sizes, modal round trips with their
// results, the owner disabled meanwhile, dialog keys and focus memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/error.h"
#include "pump_util_win.h"
#include "ui/application_win.h"
#include "ui/controls_win.h"

namespace zub {
namespace {

using test::TScript;

// A key pressed and released on the window that has the focus.
void PressKey(WPARAM key) {
    HWND focus = GetFocus();
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(focus, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
}

void Click(TWinControl& control) { PostMessageA(control.Handle(), BM_CLICK, 0, 0); }

// The main window: it records whether the dialog was still showing when it
// was enabled again.
class TOwnerForm : public TForm {
public:
    TOwnerForm() : TForm(nullptr, "TOwnerTestForm", "Owner", TFormBorderStyle::bsSizeable, 400, 300) {}
    HWND Dialog = nullptr;
    bool DialogShownWhenEnabled = false;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ENABLE && wParam && Dialog) DialogShownWhenEnabled = IsWindowVisible(Dialog) != FALSE;
        return TForm::WndProc(message, wParam, lParam);
    }
};

// The cancel question's shape: a message and two buttons with results.
class TQuestionForm : public TForm {
public:
    TQuestionForm()
        : TForm(nullptr, "TQuestionTestForm", "Best\xE4tigung!", TFormBorderStyle::bsDialog, 350, 130),
          Message(Own<TLabel>(this)),
          YesBut(Own<TButton>(this)),
          NoBut(Own<TButton>(this)) {
        SetClientSize(344, 102);
        Message.SetBounds(8, 16, 329, 41);
        YesBut.SetBounds(184, 72, 75, 25);
        YesBut.SetCaption("Ja");
        YesBut.ModalResult = mrYes;
        NoBut.SetBounds(264, 72, 75, 25);
        NoBut.SetCaption("Nein");
        NoBut.ModalResult = mrNo;
    }
    TLabel& Message;
    TButton& YesBut;
    TButton& NoBut;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.Dialog = question_.Handle();
        owner_.Show();
        test::Pump();
    }
    int Ask(std::vector<std::function<void()>> steps) {
        TScript script(std::move(steps));
        int result = question_.ShowModal();
        EXPECT_TRUE(script.Done());
        return result;
    }

    TOwnerForm owner_;
    TQuestionForm question_;
};

TEST_F(FormTest, BorderStylesAndSizes) {
    const LONG dialog = GetWindowLongA(question_.Handle(), GWL_STYLE);
    EXPECT_EQ(dialog & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(dialog & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    const LONG sizeable = GetWindowLongA(owner_.Handle(), GWL_STYLE);
    EXPECT_EQ(sizeable & (WS_SYSMENU | WS_THICKFRAME), WS_SYSMENU | WS_THICKFRAME);
    TForm plain(nullptr, "TPlainTestForm", "SetupForm", TFormBorderStyle::bsNone, 520, 440);
    EXPECT_EQ(GetWindowLongA(plain.Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(plain.Text(), "SetupForm");

    RECT client{};
    GetClientRect(question_.Handle(), &client);
    EXPECT_EQ(client.right, 344);
    EXPECT_EQ(client.bottom, 102);
    EXPECT_EQ(question_.Text(), "Best\xE4tigung!");
    // The outer height can be set after the client size.
    question_.SetHeight(126);
    RECT outer{};
    GetWindowRect(question_.Handle(), &outer);
    EXPECT_EQ(outer.bottom - outer.top, 126);
}

TEST_F(FormTest, ModalRoundTripWithAButtonAndWithTheCloseBox) {
    bool ownerDisabled = false, dialogShown = false;
    int result = Ask({[&] {
        ownerDisabled = !IsWindowEnabled(owner_.Handle());
        dialogShown = IsWindowVisible(question_.Handle()) != FALSE;
        Click(question_.YesBut);
    }});
    EXPECT_EQ(result, mrYes);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(IsWindowEnabled(owner_.Handle()));
    EXPECT_TRUE(owner_.DialogShownWhenEnabled);  // enabled before the dialog hid
    EXPECT_FALSE(IsWindowVisible(question_.Handle()));

    EXPECT_EQ(Ask({[&] { Click(question_.NoBut); }}), mrNo);
    EXPECT_EQ(Ask({[&] { PostMessageA(question_.Handle(), WM_CLOSE, 0, 0); }}), mrCancel);
    question_.CloseModalResult = mrNo;
    EXPECT_EQ(Ask({[&] { PostMessageA(question_.Handle(), WM_CLOSE, 0, 0); }}), mrNo);
    EXPECT_TRUE(IsWindowEnabled(owner_.Handle()));

    // A sizeable form's close box, through the system command.
    TForm folders(nullptr, "TFolderTestForm", "Choose Folder", TFormBorderStyle::bsSizeable, 316, 358);
    TScript script({[&] { PostMessageA(folders.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_EQ(folders.ShowModal(), mrCancel);
}

TEST_F(FormTest, KeysInADialogWithoutDefaultOrCancelButton) {
    HWND focusAtStart = nullptr;
    int result = Ask({
        [&] {
            focusAtStart = GetFocus();
            PressKey(VK_ESCAPE);  // nothing
        },
        [&] { PressKey(VK_TAB); },
        [&] { PressKey(VK_SPACE); },  // presses the focused No
    });
    EXPECT_EQ(focusAtStart, question_.YesBut.Handle());  // the first in the tab order
    EXPECT_EQ(result, mrNo);

    // The next showing gives the focus back to the button that answered.
    result = Ask({
        [&] { focusAtStart = GetFocus(); },
        [&] { PressKey(VK_RETURN); },  // Enter presses the focused button
    });
    EXPECT_EQ(focusAtStart, question_.NoBut.Handle());
    EXPECT_EQ(result, mrNo);
}

TEST_F(FormTest, EnterAndEscOnAnEditLeaveTheDialogOpen) {
    TForm dialog(nullptr, "TPathTestForm", "Choose Folder", TFormBorderStyle::bsSizeable, 316, 358);
    TEdit& path = dialog.Own<TEdit>(&dialog);
    path.SetBounds(13, 14, 281, 21);
    TButton& ok = dialog.Own<TButton>(&dialog);
    ok.SetBounds(140, 288, 75, 24);
    ok.ModalResult = mrOk;
    bool stillOpen = false;
    HWND focused = nullptr;
    TScript script({
        [&] {
            focused = GetFocus();
            PressKey(VK_RETURN);
        },
        [&] { PressKey(VK_ESCAPE); },
        [&] {
            stillOpen = IsWindowVisible(dialog.Handle()) != FALSE;
            Click(ok);
        },
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(focused, path.Handle());
    EXPECT_TRUE(stillOpen);
}

TEST_F(FormTest, DefaultAndCancelButtonsTakeEnterAndEsc) {
    question_.DefaultButton = &question_.YesBut;
    question_.CancelButton = &question_.NoBut;
    question_.SetActiveControl(&question_.Message);  // a label: no button has the focus
    EXPECT_EQ(Ask({[&] { PressKey(VK_ESCAPE); }}), mrNo);
    question_.SetActiveControl(nullptr);
    EXPECT_EQ(Ask({[&] {
                  SetFocus(question_.Handle());
                  PostMessageA(question_.Handle(), WM_KEYDOWN, VK_RETURN, 0);
              }}),
              mrYes);
}

TEST(FormKeys, TabFollowsCreationOrderAndSkipsWhatCannotTakeTheFocus) {
    TForm form(nullptr, "TTabTestForm", "Tabs", TFormBorderStyle::bsDialog, 300, 300);
    TEdit& first = form.Own<TEdit>(&form);
    TButton& second = form.Own<TButton>(&form);
    TPanel& panel = form.Own<TPanel>(&form);
    panel.SetBounds(0, 100, 300, 100);
    TCheckBox& third = form.Own<TCheckBox>(&panel);
    TEdit& fourth = form.Own<TEdit>(&panel);
    TButton& disabled = form.Own<TButton>(&form);
    disabled.SetEnabled(false);
    TEdit& hidden = form.Own<TEdit>(&form);
    hidden.Hide();
    TLabel& label = form.Own<TLabel>(&form);
    label.SetText("no tab stop");
    // Placed against the order of creation: the order stays that of creation.
    first.SetBounds(10, 250, 100, 21);
    second.SetBounds(10, 10, 75, 25);
    third.SetBounds(10, 60, 100, 20);
    fourth.SetBounds(10, 10, 100, 21);
    form.Show();
    test::Pump();
    ASSERT_EQ(GetFocus(), first.Handle());

    const HWND forward[] = {second.Handle(), third.Handle(), fourth.Handle(), first.Handle(), second.Handle()};
    for (HWND expected : forward) {
        PressKey(VK_TAB);
        test::Pump();
        EXPECT_EQ(GetFocus(), expected);
    }
    form.SelectNext(false);
    EXPECT_EQ(GetFocus(), first.Handle());
    form.SelectNext(false);
    EXPECT_EQ(GetFocus(), fourth.Handle());
}

TEST(FormKeys, EachFormRemembersItsFocusedControl) {
    TForm a(nullptr, "TFocusTestFormA", "A", TFormBorderStyle::bsDialog, 200, 200);
    TEdit& a1 = a.Own<TEdit>(&a);
    TEdit& a2 = a.Own<TEdit>(&a);
    a2.SetTop(40);
    TForm b(nullptr, "TFocusTestFormB", "B", TFormBorderStyle::bsDialog, 200, 200);
    TEdit& b1 = b.Own<TEdit>(&b);
    a.Show();
    test::Pump();
    EXPECT_EQ(GetFocus(), a1.Handle());
    a2.SetFocus();
    EXPECT_EQ(GetFocus(), a2.Handle());
    EXPECT_EQ(a.ActiveControl(), &a2);
    a.Close();
    b.Show();
    test::Pump();
    EXPECT_EQ(GetFocus(), b1.Handle());
    b.Close();
    a.Show();
    test::Pump();
    EXPECT_EQ(GetFocus(), a2.Handle());
}

TEST(FormLoop, ExceptionFromADialogKeyHandlerIsShownAndTheLoopGoesOn) {
    TForm form(nullptr, "TThrowKeyTestForm", "Throw", TFormBorderStyle::bsDialog, 200, 120);
    TButton& button = form.Own<TButton>(&form);
    button.OnClick = [] { throw Error("Aborted deleting Directory: x"); };
    form.Show();
    test::Pump();
    // The error box is answered as soon as it shows.
    TScript script({[] {
        HWND box = FindWindowA("#32770", "Setup");
        if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    }});
    PostMessageA(button.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return script.Done(); }));
    EXPECT_TRUE(IsWindow(form.Handle()));
}

}  // namespace
}  // namespace zub
