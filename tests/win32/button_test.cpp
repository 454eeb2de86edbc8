// The image button under Wine, driven by real mouse messages: the picture
// follows the state table, the click follows the framework's rule.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "skin/media_list.h"
#include "skin/zub_form_win.h"
#include "skin/zub_frame_win.h"
#include "skin_test_util_win.h"

namespace zub {
namespace {

class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() : folder_("skinbutton.") {}

    void SetUp() override {
        // Different sizes show that the button takes its picture's size.
        test::WriteBmp(Pic("normal"), test::Solid(40, 30, 0x00FF00));
        test::WriteBmp(Pic("over"), test::Solid(44, 32, 0x0000FF));
        test::WriteBmp(Pic("pressed"), test::Solid(40, 30, 0xFF0000));
        test::WriteBmp(Pic("disabled"), test::Solid(40, 30, 0x808080));
        form_ = std::make_unique<TZubForm>(nullptr, "TButtonTestForm", "ButtonTest", WS_POPUP, 200, 120, media_);
        button_ = &form_->Own<TZubButton>(form_->Handle(), media_);
        button_->SetBounds(50, 40, 73, 57);
        button_->ImageNormal = Pic("normal");
        button_->ImageOver = Pic("over");
        button_->ImagePressed = Pic("pressed");
        button_->ImageDisabled = Pic("disabled");
        button_->Graphic().SetInvisibleColor(0xFF00FF);
        button_->OnClick = [this] {
            ++clicks_;
            if (disableOnClick_) button_->SetEnabled(false);
        };
        // The start-up order of the setup.
        button_->Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
        button_->SetAlphaThreshold(100);
        button_->SetEnabled(true);
        button_->SetShape(TShape::shBitmapAlpha);
        SetCursorPos(0, 0);  // away from where the button appears
        form_->Show();
        SetForegroundWindow(form_->Handle());
        test::Pump();
    }

    std::string Pic(const char* name) { return folder_.Path() + name + ".bmp"; }
    std::string Shown() { return button_->Graphic().FileName(); }

    // Posts a mouse message at a point of the button's client area, with the
    // cursor moved there too so that hover tracking agrees.
    void Mouse(UINT message, int x, int y, WPARAM keys) {
        POINT screen{x, y};
        ClientToScreen(button_->Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        HWND target = GetCapture() ? GetCapture() : button_->Handle();
        POINT client = screen;
        ScreenToClient(target, &client);
        PostMessageA(target, message, keys, MAKELPARAM(client.x, client.y));
        test::Pump(3);
    }

    TTempFolder folder_;
    KMediaList media_;
    std::unique_ptr<TZubForm> form_;
    TZubButton* button_ = nullptr;
    int clicks_ = 0;
    bool disableOnClick_ = false;
};

TEST_F(ButtonTest, StartsNormalAndTakesThePictureSize) {
    EXPECT_EQ(Shown(), Pic("normal"));
    EXPECT_EQ(button_->Bounds().Width, 40);
    EXPECT_EQ(button_->Bounds().Height, 30);
    // Each form numbers its own buttons, whatever other forms made before.
    EXPECT_EQ(button_->Name, "Zubcraft1");
    EXPECT_EQ(form_->Own<TZubButton>(form_->Handle(), media_).Name, "Zubcraft2");
    EXPECT_EQ(test::WindowRegionPixels(button_->Handle()).size(), 40u * 30u);
}

TEST_F(ButtonTest, StateTableThroughAClick) {
    struct Step {
        const char* what;
        UINT message;
        int x, y;
        WPARAM keys;
        const char* picture;
        int clicks;
    } steps[] = {
        {"enter", WM_MOUSEMOVE, 5, 5, 0, "over", 0},
        {"press", WM_LBUTTONDOWN, 5, 5, MK_LBUTTON, "pressed", 0},
        {"drag off", WM_MOUSEMOVE, -30, 5, MK_LBUTTON, "pressed", 0},
        {"drag back", WM_MOUSEMOVE, 6, 6, MK_LBUTTON, "over", 0},
        {"release inside", WM_LBUTTONUP, 6, 6, 0, "over", 1},
        // The second press of a double-click is a press, not a second click.
        {"double-click", WM_LBUTTONDBLCLK, 6, 6, MK_LBUTTON, "pressed", 1},
        {"its release", WM_LBUTTONUP, 6, 6, 0, "over", 1},
        {"press again", WM_LBUTTONDOWN, 6, 6, MK_LBUTTON, "pressed", 1},
        {"drag off again", WM_MOUSEMOVE, -30, 6, MK_LBUTTON, "pressed", 1},
        {"release outside", WM_LBUTTONUP, -30, 6, 0, "normal", 1},
    };
    for (const Step& s : steps) {
        Mouse(s.message, s.x, s.y, s.keys);
        EXPECT_EQ(Shown(), Pic(s.picture)) << s.what;
        EXPECT_EQ(clicks_, s.clicks) << s.what;
    }
    EXPECT_EQ(GetCapture(), nullptr);
}

// A screen reader gets a push button named by the window text, whose
// disabled state it can announce.
TEST_F(ButtonTest, AnswersAsAPushButtonNamedByItsText) {
    SetWindowTextA(button_->Handle(), "Next");
    // Asking must never end the program, also where the system has no proxy.
    SendMessageA(button_->Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine has no standard accessible proxy for push buttons";
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(button_->Handle(), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    ASSERT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    BSTR name = nullptr;
    ASSERT_EQ(object->get_accName(self, &name), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::wstring(name), L"Next");
    SysFreeString(name);
    const auto state = [&] {
        VARIANT v;
        VariantInit(&v);
        EXPECT_EQ(object->get_accState(self, &v), S_OK);
        return v.lVal;
    };
    EXPECT_EQ(state() & STATE_SYSTEM_UNAVAILABLE, 0);
    button_->SetEnabled(false);
    EXPECT_NE(state() & STATE_SYSTEM_UNAVAILABLE, 0);
    object->Release();
    // Still never focused by the keyboard.
    EXPECT_EQ(GetWindowLongA(button_->Handle(), GWL_STYLE) & WS_TABSTOP, 0);
}

TEST_F(ButtonTest, OverPictureGrowsTheButtonFromItsCorner) {
    Mouse(WM_MOUSEMOVE, 5, 5, 0);
    EXPECT_EQ(button_->Bounds().Left, 50);
    EXPECT_EQ(button_->Bounds().Width, 44);
    EXPECT_EQ(button_->Bounds().Height, 32);
}

TEST_F(ButtonTest, RightButtonShowsPressedButDoesNotClick) {
    Mouse(WM_MOUSEMOVE, 5, 5, 0);
    Mouse(WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
    EXPECT_EQ(Shown(), Pic("pressed"));
    Mouse(WM_RBUTTONUP, 5, 5, 0);
    EXPECT_EQ(Shown(), Pic("over"));
    EXPECT_EQ(clicks_, 0);
}

TEST_F(ButtonTest, DisabledButtonShowsDisabledAndGivesNoClick) {
    button_->SetEnabled(false);
    EXPECT_EQ(Shown(), Pic("disabled"));
    EXPECT_FALSE(IsWindowEnabled(button_->Handle()));
    // A disabled window gets no mouse input from the system; even messages
    // sent straight to it change nothing.
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
        SendMessageA(button_->Handle(), m, m == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(5, 5));
        EXPECT_EQ(Shown(), Pic("disabled"));
    }
    EXPECT_EQ(clicks_, 0);
    button_->SetEnabled(true);
    EXPECT_EQ(Shown(), Pic("normal"));
}

TEST_F(ButtonTest, ClickThatDisablesTheButtonLeavesTheDisabledPicture) {
    disableOnClick_ = true;
    Mouse(WM_MOUSEMOVE, 5, 5, 0);
    Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 5, 5, 0);
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(Shown(), Pic("disabled"));
}

TEST_F(ButtonTest, EmptyDisabledPictureKeepsThePreviousOne) {
    button_->ImageDisabled.clear();
    button_->SetEnabled(false);
    EXPECT_EQ(Shown(), Pic("normal"));
}

TEST_F(ButtonTest, SameFileForOverAndNormalChangesNothing) {
    button_->ImageOver = button_->ImageNormal;
    size_t cached = media_.Count();
    Mouse(WM_MOUSEMOVE, 5, 5, 0);
    EXPECT_EQ(Shown(), Pic("normal"));
    EXPECT_EQ(media_.Count(), cached);
}

}  // namespace
}  // namespace zub
