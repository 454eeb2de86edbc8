// Alignment and anchors on real windows: the wizard's page area, the
// completion page's rows, stacked word-wrapped headings, and the folder
// dialog growing with its window.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "pump_util_win.h"
#include "ui/controls_win.h"

namespace zub {
namespace {

class LayoutWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm>(nullptr, "TLayoutTestForm", "Layout", TFormBorderStyle::bsNone, 520, 440);
        form_->Show();
        test::Pump();
    }
    template <class T>
    T& Make(TWinControl& parent) {
        return form_->Own<T>(&parent);
    }
    std::unique_ptr<TForm> form_;
};

TEST_F(LayoutWinTest, PageAreaKeepsItsMarginsWhenTheMainPanelIsResized) {
    TPanel& mainPanel = Make<TPanel>(*form_);
    mainPanel.SetBounds(104, 16, 393, 305);
    TPanel& textBox = Make<TPanel>(mainPanel);
    textBox.SetBounds(12, 14, 369, 275);
    textBox.SetAnchors(kAllAnchors);
    // Setup.ini places the page area elsewhere, with another size.
    mainPanel.SetBounds(40, 30, 450, 340);
    EXPECT_EQ(textBox.Bounds(), (TBounds{12, 14, 426, 310}));
    RECT r{};
    GetWindowRect(textBox.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 426);
}

TEST_F(LayoutWinTest, CompletionRowsMoveUpWhenOneIsHidden) {
    TPanel& area = Make<TPanel>(*form_);
    area.SetBounds(0, 0, 345, 150);
    TPanel* rows[3];
    TCheckBox* checks[3];
    for (int i = 0; i < 3; ++i) {
        rows[i] = &Make<TPanel>(area);
        rows[i]->SetHeight(20);
        rows[i]->SetAlign(TAlign::alTop);
        checks[i] = &Make<TCheckBox>(*rows[i]);
        checks[i]->SetBounds(1, 1, 322, 17);
    }
    EXPECT_EQ(rows[2]->Bounds(), (TBounds{0, 40, 345, 20}));
    rows[0]->Hide();
    rows[1]->Hide();
    EXPECT_EQ(rows[2]->Bounds(), (TBounds{0, 0, 345, 20}));
    EXPECT_EQ(checks[2]->Bounds(), (TBounds{1, 1, 322, 17}));
    rows[1]->Show();
    EXPECT_EQ(rows[1]->Bounds(), (TBounds{0, 0, 345, 20}));
    EXPECT_EQ(rows[2]->Bounds(), (TBounds{0, 20, 345, 20}));
}

TEST_F(LayoutWinTest, HeadingsStackAtTheirMeasuredHeights) {
    TPanel& page = Make<TPanel>(*form_);
    page.SetBounds(0, 0, 369, 275);
    TLabel& head1 = Make<TLabel>(page);
    head1.SetAlign(TAlign::alTop);
    head1.SetWordWrap(true);
    head1.SetAlignment(TAlignment::taCenter);
    head1.SetFont(HeadingFont(page.Font()));
    TLabel& spacer = Make<TLabel>(page);
    spacer.SetAutoSize(false);
    spacer.SetHeight(13);
    spacer.SetAlign(TAlign::alTop);
    TLabel& head2 = Make<TLabel>(page);
    head2.SetAlign(TAlign::alTop);
    head2.SetWordWrap(true);
    TPanel& rest = Make<TPanel>(page);
    rest.SetAlign(TAlign::alClient);

    head1.SetText("Willkommen zum Setup Assistenten f\xFCr Ein Programm Mit Einem Recht Langen Namen");
    head2.SetText("Dieser Assistent installiert Ein Programm auf Ihrem Computer.");
    const int h1 = head1.Bounds().Height, h2 = head2.Bounds().Height;
    EXPECT_GT(h1, h2);  // two lines of a larger font
    EXPECT_EQ(spacer.Bounds(), (TBounds{0, h1, 369, 13}));
    EXPECT_EQ(head2.Bounds(), (TBounds{0, h1 + 13, 369, h2}));
    EXPECT_EQ(rest.Bounds(), (TBounds{0, h1 + 13 + h2, 369, 275 - h1 - 13 - h2}));

    // A narrower page wraps the headings into more lines.
    page.SetWidth(150);
    EXPECT_GT(head2.Bounds().Height, h2);
    EXPECT_EQ(head2.Bounds().Top, head1.Bounds().Height + 13);
    EXPECT_EQ(rest.Bounds().Top, head2.Bounds().Bottom());
}

TEST(LayoutForm, FolderDialogControlsFollowTheWindow) {
    TForm dialog(nullptr, "TLayoutFolderForm", "Choose Folder", TFormBorderStyle::bsSizeable, 316, 358);
    TPanel& panel1 = dialog.Own<TPanel>(&dialog);
    panel1.SetBounds(13, 14, 281, 263);
    panel1.SetAnchors(kAllAnchors);
    TLabel& head = dialog.Own<TLabel>(&panel1);
    head.SetAutoSize(false);
    head.SetHeight(22);
    head.SetAlign(TAlign::alTop);
    TPanel& panel2 = dialog.Own<TPanel>(&panel1);
    panel2.SetHeight(24);
    panel2.SetAlign(TAlign::alTop);
    TEdit& path = dialog.Own<TEdit>(&panel2);
    path.SetBounds(0, 0, 281, 21);
    path.SetAnchors(akLeft | akTop | akRight);
    TPanel& tree = dialog.Own<TPanel>(&panel1);
    tree.SetAlign(TAlign::alClient);
    TButton& ok = dialog.Own<TButton>(&dialog);
    ok.SetBounds(140, 288, 75, 24);
    ok.SetAnchors(akRight | akBottom);
    TButton& cancel = dialog.Own<TButton>(&dialog);
    cancel.SetBounds(220, 288, 75, 24);
    cancel.SetAnchors(akRight | akBottom);

    // The user drags the window's corner 100 right and 50 down.
    const TBounds b = dialog.Bounds();
    SetWindowPos(dialog.Handle(), nullptr, b.Left, b.Top, b.Width + 100, b.Height + 50, SWP_NOZORDER);
    EXPECT_EQ(dialog.Bounds().Width, 416);
    EXPECT_EQ(panel1.Bounds(), (TBounds{13, 14, 381, 313}));
    EXPECT_EQ(ok.Bounds(), (TBounds{240, 338, 75, 24}));
    EXPECT_EQ(cancel.Bounds(), (TBounds{320, 338, 75, 24}));
    EXPECT_EQ(panel2.Bounds(), (TBounds{0, 22, 381, 24}));
    EXPECT_EQ(path.Bounds(), (TBounds{0, 0, 381, 21}));
    EXPECT_EQ(tree.Bounds(), (TBounds{0, 46, 381, 313 - 46}));
}

}  // namespace
}  // namespace zub
