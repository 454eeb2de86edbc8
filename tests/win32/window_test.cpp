// The window framework: exceptions stop at the window procedure and are shown
// in the error box, and the window goes on.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/error.h"
#include "ui/form_win.h"

namespace zub {
namespace {

class TThrowingForm : public TForm {
public:
    TThrowingForm() : TForm(nullptr, "TThrowingForm", "Throwing", WS_POPUP, 200, 100) {}
    int handled = 0;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) throw Error("handler failed");
        if (message == WM_APP + 1) return ++handled;
        return TForm::WndProc(message, wParam, lParam);
    }
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

TEST(WindowFramework, ExceptionInHandlerShowsErrorBoxAndWindowGoesOn) {
    TThrowingForm form;
    ASSERT_TRUE(form.HandleAllocated());
    std::string seenText;
    std::atomic<bool> done{false};
    std::thread answerer([&] {
        for (int i = 0; i < 2000 && !done; ++i) {
            HWND box = nullptr;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
            if (box) {
                char text[256] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                seenText = text;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return;
            }
            Sleep(10);
        }
    });
    LRESULT result = SendMessageA(form.Handle(), WM_APP, 0, 0);
    done = true;
    answerer.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(seenText, "handler failed");
    EXPECT_TRUE(IsWindow(form.Handle()));
    EXPECT_EQ(SendMessageA(form.Handle(), WM_APP + 1, 0, 0), 1);
}

TEST(WindowFramework, FormIsCreatedHiddenAndCentred) {
    TThrowingForm form;
    EXPECT_FALSE(form.Visible());
    RECT work{}, rect{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(form.Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST(WindowFramework, DestroyingTheFormDestroysItsWindow) {
    HWND handle;
    {
        TThrowingForm form;
        handle = form.Handle();
        ASSERT_TRUE(IsWindow(handle));
    }
    EXPECT_FALSE(IsWindow(handle));
}

}  // namespace
}  // namespace zub
