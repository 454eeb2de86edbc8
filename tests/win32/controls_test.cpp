// The standard controls under Wine: each is set through the framework and
// read back through the window's own messages (text, font, colour, state).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/error.h"
#include "base/win32_error.h"
#include "pump_util_win.h"
#include "ui/application_win.h"
#include "ui/controls_win.h"
#include "ui/gdi_cache_win.h"

namespace zub {
namespace {

LOGFONTA FontOf(HWND window) {
    LOGFONTA lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

// What a control's parent answers to WM_CTLCOLOR*: text colour, background
// colour and the colour of the brush it hands back.
struct TCtlColors {
    COLORREF Text, Back, Brush;
    int BkMode;
};

TCtlColors CtlColorsOf(TWinControl& control, UINT message = WM_CTLCOLORSTATIC) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(control.Handle()), message,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(control.Handle())));
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    TCtlColors result{GetTextColor(dc), GetBkColor(dc), lb.lbColor, GetBkMode(dc)};
    DeleteDC(dc);
    return result;
}

// The colour a window paints its background with, through WM_ERASEBKGND.
COLORREF ErasedColor(HWND window) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    COLORREF color = GetPixel(dc, 2, 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return color;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm>(nullptr, "TControlsTestForm", "Controls", TFormBorderStyle::bsDialog, 420,
                                        320);
        form_->Show();
        test::Pump();
    }
    void TearDown() override { form_.reset(); }

    template <class T>
    T& Make(TWinControl* parent = nullptr) {
        return form_->Own<T>(parent ? parent : form_.get());
    }

    std::unique_ptr<TForm> form_;
};

TEST_F(ControlsTest, GermanTextReachesTheWindowAsWindows1252) {
    TLabel& label = Make<TLabel>();
    const std::string text = "Willkommen zum Setup Assistenten f\xFCr M\xFCller & S\xF6hne \xDC" "bersicht";
    label.SetText(text);
    char bytes[128] = {};
    const int n = GetWindowTextA(label.Handle(), bytes, sizeof bytes);
    EXPECT_EQ(std::string(bytes, n), text);
    // The window holds the characters themselves, not UTF-8 pairs.
    wchar_t wide[128] = {};
    GetWindowTextW(label.Handle(), wide, 128);
    EXPECT_EQ(std::wstring(wide), L"Willkommen zum Setup Assistenten f\u00FCr M\u00FCller & S\u00F6hne \u00DCbersicht");
    EXPECT_EQ(label.Text(), text);
}

TEST_F(ControlsTest, FontAndColourComeFromTheParentUnlessGiven) {
    TPanel& page = Make<TPanel>();
    page.SetBounds(0, 0, 300, 200);
    TLabel& inherits = Make<TLabel>(&page);
    TLabel& own = Make<TLabel>(&page);
    TFont ownFont;
    ownFont.Name = "Courier New";
    ownFont.Height = -12;
    own.SetFont(ownFont);

    TFont pageFont;
    pageFont.Name = "Arial";
    pageFont.Height = -16;
    pageFont.Style = fsBold | fsItalic;
    pageFont.Color = RGB(0, 0, 128);
    page.SetFont(pageFont);
    page.SetColor(14737632);

    LOGFONTA lf = FontOf(inherits.Handle());
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    lf = FontOf(own.Handle());
    EXPECT_STREQ(lf.lfFaceName, "Courier New");
    EXPECT_EQ(lf.lfHeight, -12);

    TCtlColors colors = CtlColorsOf(inherits);
    EXPECT_EQ(colors.Text, RGB(0, 0, 128));
    EXPECT_EQ(colors.Brush, RGB(224, 224, 224));
    EXPECT_EQ(colors.BkMode, TRANSPARENT);  // labels are transparent
    EXPECT_EQ(ErasedColor(page.Handle()), RGB(224, 224, 224));

    // A later change of the parent still reaches the child that inherits.
    page.SetColor(RGB(10, 20, 30));
    EXPECT_EQ(CtlColorsOf(inherits).Brush, RGB(10, 20, 30));
    EXPECT_EQ(CtlColorsOf(own).Brush, RGB(10, 20, 30));  // the colour is still the parent's
    own.SetColor(clWhite);
    EXPECT_EQ(CtlColorsOf(own).Brush, RGB(255, 255, 255));

    // A system colour is resolved when used.
    page.SetColor(clBtnFace);
    EXPECT_EQ(CtlColorsOf(inherits).Brush, GetSysColor(COLOR_BTNFACE));
}

TEST_F(ControlsTest, PanelsNestAndTakeTheirParentsColour) {
    form_->SetColor(RGB(200, 100, 50));
    TPanel& outer = Make<TPanel>();
    outer.SetBounds(10, 10, 100, 100);
    TPanel& inner = Make<TPanel>(&outer);
    inner.SetBounds(10, 10, 50, 50);
    EXPECT_EQ(inner.Parent(), &outer);
    ASSERT_EQ(outer.Controls().size(), 1u);
    EXPECT_EQ(outer.Controls()[0], &inner);
    EXPECT_EQ(GetParent(inner.Handle()), outer.Handle());
    EXPECT_EQ(ErasedColor(inner.Handle()), RGB(200, 100, 50));
    EXPECT_EQ(GetWindowLongA(outer.Handle(), GWL_STYLE) & WS_BORDER, 0);
}

TEST_F(ControlsTest, LabelHeightFollowsItsTextAtItsWidth) {
    TLabel& label = Make<TLabel>();
    label.SetWordWrap(true);
    label.SetBounds(10, 10, 1000, 10);
    label.SetText("Setup will add icons to the program folder listed below. You may type a new folder, or "
                  "select one from the existing folders list.");
    HDC dc = GetDC(label.Handle());
    HGDIOBJ old = SelectObject(dc, label.FontHandle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(label.Handle(), dc);

    EXPECT_EQ(label.Bounds().Height, tm.tmHeight);  // one line at 1000 pixels
    label.SetWidth(120);
    const int lines = label.Bounds().Height / tm.tmHeight;
    EXPECT_GE(lines, 4);
    EXPECT_EQ(label.Bounds().Height % tm.tmHeight, 0);
    EXPECT_EQ(label.Bounds().Width, 120);

    // A larger font makes it taller at the same width.
    TFont big;
    big.Height = -24;
    label.SetFont(big);
    EXPECT_GT(label.Bounds().Height, lines * tm.tmHeight);

    // An empty label is one line high; without auto size the height stays.
    label.SetFont(TFont{});
    label.SetText("");
    EXPECT_EQ(label.Bounds().Height, tm.tmHeight);
    label.SetAutoSize(false);
    label.SetHeight(13);
    label.SetText("a much longer text that would need several lines at this width");
    EXPECT_EQ(label.Bounds().Height, 13);
}

TEST_F(ControlsTest, LabelAlignmentAndWrapStyles) {
    TLabel& label = Make<TLabel>();
    EXPECT_EQ(GetWindowLongA(label.Handle(), GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
    label.SetWordWrap(true);
    EXPECT_EQ(GetWindowLongA(label.Handle(), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    label.SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(GetWindowLongA(label.Handle(), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    // A label shows an ampersand as it is.
    EXPECT_NE(GetWindowLongA(label.Handle(), GWL_STYLE) & SS_NOPREFIX, 0);
    // Without word wrap the width follows the text too.
    label.SetWordWrap(false);
    label.SetAlignment(TAlignment::taLeftJustify);
    label.SetText("W");
    const int narrow = label.Bounds().Width;
    label.SetText("WWWWWWWWWW");
    EXPECT_GT(label.Bounds().Width, 5 * narrow);
}

TEST_F(ControlsTest, CheckBoxClickFollowsTheProgramsChangesToo) {
    TCheckBox& check = Make<TCheckBox>();
    check.SetBounds(8, 4, 353, 33);
    check.SetCaption("Ich stimme s\xE4mtlichen Bedingungen zu.");
    int clicks = 0;
    check.OnClick = [&] { ++clicks; };
    check.SetChecked(true);
    EXPECT_EQ(SendMessageA(check.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicks, 1);
    check.SetChecked(true);  // no change, no event
    EXPECT_EQ(clicks, 1);
    check.SetChecked(false);
    EXPECT_EQ(clicks, 2);
    // The user's click: the box toggles itself and reports it.
    SendMessageA(check.Handle(), BM_CLICK, 0, 0);
    test::Pump();
    EXPECT_TRUE(check.Checked());
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(check.Text(), "Ich stimme s\xE4mtlichen Bedingungen zu.");
    // Its background is its parent's colour.
    form_->SetColor(RGB(1, 99, 7));
    EXPECT_EQ(CtlColorsOf(check).Brush, RGB(1, 99, 7));
}

TEST_F(ControlsTest, ButtonInAGroupBoxReportsItsClick) {
    TGroupBox& group = Make<TGroupBox>();
    group.SetBounds(0, 100, 369, 50);
    group.SetCaption("Zielordner");
    TButton& button = Make<TButton>(&group);
    button.SetBounds(285, 17, 75, 25);
    button.SetCaption("Durchsuchen...");
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    test::Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetWindowLongA(group.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(group.Text(), "Zielordner");
    EXPECT_EQ(button.Text(), "Durchsuchen...");
    group.SetColor(RGB(50, 60, 70));
    EXPECT_EQ(CtlColorsOf(group).Brush, RGB(50, 60, 70));
    EXPECT_EQ(ErasedColor(group.Handle()), RGB(50, 60, 70));
}

TEST_F(ControlsTest, EditReportsTypedAndProgramChanges) {
    TEdit& edit = Make<TEdit>();
    edit.SetBounds(0, 0, 353, 21);
    std::string seen;
    int changes = 0;
    edit.OnChange = [&] {
        ++changes;
        seen = edit.Text();
    };
    edit.SetText("C:\\Programme\\App");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seen, "C:\\Programme\\App");
    SendMessageA(edit.Handle(), EM_SETSEL, 100, 100);
    SendMessageA(edit.Handle(), WM_CHAR, '2', 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(seen, "C:\\Programme\\App2");
    edit.SetText("");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(seen, "");
    // The window colour, black text when asked.
    TFont black;
    black.Color = clBlack;
    edit.SetFont(black);
    TCtlColors colors = CtlColorsOf(edit, WM_CTLCOLOREDIT);
    EXPECT_EQ(colors.Brush, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(colors.Text, RGB(0, 0, 0));
}

TEST_F(ControlsTest, MemoIsReadOnlyWithBothScrollBarsAndRefusesTooMuchText) {
    TMemo& memo = Make<TMemo>();
    memo.SetBounds(12, 12, 345, 181);
    const LONG style = GetWindowLongA(memo.Handle(), GWL_STYLE);
    EXPECT_NE(style & ES_READONLY, 0);
    EXPECT_NE(style & ES_MULTILINE, 0);
    EXPECT_NE(style & WS_VSCROLL, 0);
    EXPECT_NE(style & WS_HSCROLL, 0);
    memo.SetText("Lizenz\r\nZeile zwei f\xFCr alle\r\nDrei");
    EXPECT_EQ(memo.LineCount(), 3);
    EXPECT_EQ(memo.Text(), "Lizenz\r\nZeile zwei f\xFCr alle\r\nDrei");

    memo.SetMaxLength(10);
    try {
        memo.SetText("eleven char");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Text exceeds memo capacity");
    }
    EXPECT_EQ(memo.Text(), "Lizenz\r\nZeile zwei f\xFCr alle\r\nDrei");
    memo.SetText("ten chars!");
    EXPECT_EQ(memo.Text(), "ten chars!");

    // Typing changes nothing in a read-only memo.
    SendMessageA(memo.Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(memo.Text(), "ten chars!");

    // A large licence text is taken whole.
    memo.SetMaxLength(0);
    std::string large;
    for (int i = 0; i < 4000; ++i) large += "Zeile " + std::to_string(i) + "\r\n";
    memo.SetText(large);
    EXPECT_EQ(memo.Text().size(), large.size());
    // The memo can take the page's colour.
    memo.SetParentColor(true);
    form_->SetColor(RGB(9, 8, 7));
    EXPECT_EQ(CtlColorsOf(memo).Brush, RGB(9, 8, 7));
}

TEST_F(ControlsTest, ListBoxItemsSelectionAndClick) {
    TListBox& list = Make<TListBox>();
    list.SetBounds(0, 0, 353, 120);
    list.SetItemHeight(13);
    int clicks = 0;
    list.OnClick = [&] { ++clicks; };
    for (const char* name : {"Zubeh\xF6r", "Autostart", "Spiele"}) list.AddItem(name);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(0), "Zubeh\xF6r");  // in the order added, not sorted
    EXPECT_EQ(list.Item(2), "Spiele");
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.ItemHeight(), 13);
    EXPECT_THROW(list.Item(3), Error);

    list.SetItemIndex(2);
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(clicks, 0);  // the program's selection is no click

    RECT item{};
    SendMessageA(list.Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 5, item.top + 3);
    SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, at);
    test::Pump();
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(ControlsTest, ProgressBarRangeAndPosition) {
    TProgressBar& bar = Make<TProgressBar>();
    bar.SetBounds(0, 13, 321, 16);
    bar.SetRange(0, 100);
    bar.SetPosition(42);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 42);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    bar.SetPosition(250);  // held inside the range
    EXPECT_EQ(bar.Position(), 100);
}

TEST_F(ControlsTest, VisibleIsTheControlsOwnFlag) {
    TPanel& page = Make<TPanel>();
    TLabel& label = Make<TLabel>(&page);
    page.Hide();
    EXPECT_TRUE(label.Visible());
    EXPECT_FALSE(label.Showing());
    label.Hide();
    page.Show();
    EXPECT_FALSE(label.Visible());
    label.Show();
    EXPECT_TRUE(label.Showing());
}

TEST_F(ControlsTest, BoundsAreWhatTheWindowReallyIs) {
    TPanel& panel = Make<TPanel>();
    panel.SetBounds(5, 6, 70, 80);
    SetWindowPos(panel.Handle(), nullptr, 11, 12, 130, 140, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(panel.Bounds(), (TBounds{11, 12, 130, 140}));
    MoveWindow(form_->Handle(), 30, 40, 500, 400, TRUE);
    EXPECT_EQ(form_->Bounds(), (TBounds{30, 40, 500, 400}));
    EXPECT_NE(form_->Bounds().Left, static_cast<int>(CW_USEDEFAULT));
}

TEST_F(ControlsTest, PagesShowExactlyOne) {
    TPanel& box = Make<TPanel>();
    box.SetBounds(12, 14, 369, 275);
    TPanel* pages[3];
    for (TPanel*& page : pages) {
        page = &Make<TPanel>(&box);
        page->SetAlign(TAlign::alClient);
        page->SetPage(true);
    }
    for (int shown = 2; shown >= 0; --shown) {
        pages[shown]->BringToFront();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(pages[i]->Visible(), i == shown) << shown;
            EXPECT_EQ(IsWindowVisible(pages[i]->Handle()) != FALSE, i == shown) << shown;
            EXPECT_EQ(pages[i]->Bounds(), (TBounds{0, 0, 369, 275}));
        }
        EXPECT_EQ(GetWindow(box.Handle(), GW_CHILD), pages[shown]->Handle());  // in front
    }
}

// A control of an own window class that records what reaches it.
class TRecordingControl : public TWinControl {
public:
    explicit TRecordingControl(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
        SetBounds(0, 0, 50, 40);
        TCreateParams params;
        params.ClassName = "TRecordingControl";
        CreateHandle(params);
    }
    std::vector<UINT> Seen;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCCREATE || message == WM_CREATE || message == WM_SIZE) Seen.push_back(message);
        return TWinControl::WndProc(message, wParam, lParam);
    }
};

TEST_F(ControlsTest, OwnClassSeesItsCreation) {
    TRecordingControl& control = Make<TRecordingControl>();
    ASSERT_GE(control.Seen.size(), 3u);
    EXPECT_EQ(control.Seen[0], static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(control.Seen[1], static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(control.Seen[2], static_cast<UINT>(WM_SIZE));
}

TEST_F(ControlsTest, AHookSeesMessagesFirst) {
    TPanel& panel = Make<TPanel>();
    panel.MessageHook = [](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_DEVICECHANGE) return false;
        result = 537;
        return true;
    };
    EXPECT_EQ(SendMessageA(panel.Handle(), WM_DEVICECHANGE, 0, 0), 537);
    SendMessageA(panel.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("passes"));
    EXPECT_EQ(panel.Text(), "passes");
}

class TMissingClassControl : public TWinControl {
public:
    explicit TMissingClassControl(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) {
        TCreateParams params;
        params.ClassName = "NoSuchWindowClassAnywhere";
        params.OwnClass = false;
        CreateHandle(params);
    }
};

TEST_F(ControlsTest, FailedCreationRaisesTheWin32Error) {
    const size_t before = form_->Controls().size();
    try {
        Make<TMissingClassControl>();
        FAIL() << "no error";
    } catch (const Error& e) {
        // The system's code for a class it does not know (1407 or 1411), and its text.
        const std::string what = e.what();
        EXPECT_TRUE(what == Win32Error(1407, SystemMessage(1407)).what() ||
                    what == Win32Error(1411, SystemMessage(1411)).what())
            << what;
        EXPECT_NE(what.find('\n'), std::string::npos) << what;
    }
    EXPECT_EQ(form_->Controls().size(), before);  // the failed control left its parent
}

// Builds and destroys a page of every kind of control, with own fonts and colours.
void MakePage(TForm& form, int round) {
    TPanel& page = form.Own<TPanel>(&form);
    page.SetAlign(TAlign::alClient);
    page.SetColor(RGB(round % 3, 200, 200));
    TFont font;
    font.Name = "Arial";
    font.Height = -11 - round % 2;
    page.SetFont(font);
    TLabel& head = form.Own<TLabel>(&page);
    head.SetAlign(TAlign::alTop);
    head.SetWordWrap(true);
    head.SetFont(HeadingFont(page.Font()));
    head.SetText("Zielordner w\xE4hlen");
    form.Own<TButton>(&page).SetCaption("OK");
    form.Own<TCheckBox>(&page).SetChecked(true);
    form.Own<TEdit>(&page).SetText("abc");
    form.Own<TMemo>(&page).SetText("x\r\ny");
    form.Own<TListBox>(&page).AddItem("a");
    form.Own<TProgressBar>(&page).SetPosition(3);
    form.Own<TGroupBox>(&page).SetColor(clWhite);
    test::Pump();
}

TEST(ControlResources, GdiObjectsStayFlatOverManyPages) {
    for (int round = 0; round < 4; ++round) {  // every font and colour made once
        TForm form(nullptr, "TGdiTestForm", "GDI", TFormBorderStyle::bsDialog, 300, 200);
        form.Show();
        MakePage(form, round);
    }
    const size_t cached = GdiCache().ObjectCount();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int round = 0; round < 30; ++round) {
        TForm form(nullptr, "TGdiTestForm", "GDI", TFormBorderStyle::bsDialog, 300, 200);
        form.Show();
        MakePage(form, round);
    }
    EXPECT_EQ(GdiCache().ObjectCount(), cached);
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdiBefore != 0) EXPECT_LE(gdiAfter, gdiBefore + 8);  // the system counts them where it can
}

}  // namespace
}  // namespace zub
