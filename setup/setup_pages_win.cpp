// The wizard form's pages: the page area built from its layout table, the
// preparation of every page from the settings, the texts, and the handlers
// of the controls on the pages.
#include <windows.h>

#include <cstring>

#include "base/strings.h"
#include "base/timeline.h"
#include "dialogs/folder_man_win.h"
#include "shell/shell_win.h"
#include "setup/confirmation_form_win.h"
#include "setup/find_entries_win.h"
#include "setup/setup_form_win.h"
#include "setup/startup_win.h"
#include "setup/wizard_checks.h"
#include "setup/wizard_texts.h"

namespace zub {
namespace {

constexpr int kButtonMaxPoints = 10;

// The spacer labels keep this font whatever the settings say.
TFont SpacerFont() {
    TFont font;
    font.Height = -kSpacerFontPixels;
    return font;
}

}  // namespace

TPanel& TSetupForm::BuildPageArea() {
    for (const TControlDesign& design : WizardLayout())
        if (!design.Page) MakeControl(design, design.Parent ? *controls_.at(design.Parent) : static_cast<TWinControl&>(*this));
    MakePage(pgWelcome);
    return Control<TPanel>("MainPanel");
}

void TSetupForm::MakePage(int index) {
    const char* name = PageEntry(index).Panel;
    for (const TControlDesign& design : WizardLayout())
        if (design.Page && std::strcmp(design.Page, name) == 0) MakeControl(design, *controls_.at(design.Parent));
    if (index == pgLicence) {
        // The consent box is two lines high: a long consent text wraps into them.
        HWND consent = Control("LicenceCheck").Handle();
        SetWindowLongA(consent, GWL_STYLE, GetWindowLongA(consent, GWL_STYLE) | BS_MULTILINE);
    }
    if (index == pgWelcome) return;
    // The page area leaves a hidden page where it is: the page takes the
    // area's size now, as the area would give it when shown, so that showing
    // it changes nothing but its visibility.
    const TClientSize area = Control("TextBox").ClientSize();
    Control(name).SetBounds(0, 0, area.Width, area.Height);
}

TWinControl& TSetupForm::MakeControl(const TControlDesign& design, TWinControl& parent) {
    using K = TControlKind;
    // The six pages lie on top of each other; the one in front is the only
    // one shown. All but the first are made hidden.
    const bool page = design.Page && std::strcmp(design.Page, design.Name) == 0;
    const bool hidden = page && std::strcmp(design.Name, PageEntry(pgWelcome).Panel) != 0;
    TWinControl* control = nullptr;
    auto label = [&](bool wrap, bool autoSize) -> TLabel& {
        TLabel& l = Own<TLabel>(&parent);
        l.SetWordWrap(wrap);
        l.SetAutoSize(autoSize);
        control = &l;
        return l;
    };
    switch (design.Kind) {
        case K::Panel: control = &Own<TPanel>(&parent, !hidden); break;
        case K::Label: label(true, true); break;
        case K::HeadLabel: label(true, true).SetAlignment(TAlignment::taCenter); break;
        case K::Spacer: label(false, false).SetFont(SpacerFont()); break;
        case K::FixedLabel: label(true, false); break;
        case K::CheckBox: control = &Own<TCheckBox>(&parent); break;
        case K::GroupBox: control = &Own<TGroupBox>(&parent); break;
        case K::Button: control = &Own<TButton>(&parent); break;
        case K::Edit: control = &Own<TEdit>(&parent); break;
        case K::Memo: {
            TMemo& memo = Own<TMemo>(&parent);
            memo.SetParentColor(true);  // the licence shows in the page's colour
            control = &memo;
            break;
        }
        case K::ListBox: {
            TListBox& list = Own<TListBox>(&parent);
            list.SetItemHeight(13);
            control = &list;
            break;
        }
        case K::ProgressBar: {
            TProgressBar& bar = Own<TProgressBar>(&parent);
            bar.SetRange(0, 100);
            control = &bar;
            break;
        }
    }
    control->Name = design.Name;
    control->SetBounds(design.Bounds.Left, design.Bounds.Top, design.Bounds.Width, design.Bounds.Height);
    control->SetAnchors(design.Anchors);
    control->SetAlign(design.Align);
    control->SetPage(page);
    if (!hidden) control->SetVisible(true);
    controls_[design.Name] = control;
    return *control;
}

void TSetupForm::SetDialogs(TFolderMan& folderMan, TConfirmationForm& confirmation) {
    folderMan_ = &folderMan;
    confirmation_ = &confirmation;
}

void TSetupForm::MakeHeading(const char* name) {
    TWinControl& head = Control(name);
    head.SetFont(HeadingFont(data_.SetupFont));
}

void TSetupForm::ApplySettings() {
    MainPanel.SetColor(data_.TextBoxColor);
    MainPanel.SetFont(data_.SetupFont);
    data_.Destination = ProposedDestinationOf(data_, options_.Destination);
    if (HasLicence(data_)) licenceText_ = LoadLicenceText(data_.WorkFolder + data_.Licence);
    for (int index = 0; index < kPageCount; ++index)
        if (controls_.count(PageEntry(index).Panel)) PreparePage(index);
    ApplyCaptions(CaptionTableOf(data_.Language, data_.RazederodezTitle));
}

void TSetupForm::MakeOtherPages() {
    timeline::TStep step("other pages made");
    for (int index = 0; index < kPageCount; ++index) {
        if (controls_.count(PageEntry(index).Panel)) continue;
        MakePage(index);
        PreparePage(index);
        ApplyPageCaptions(index);
    }
}

void TSetupForm::PreparePage(int index) {
    const TFont& font = data_.SetupFont;
    switch (index) {
        case pgWelcome: MakeHeading("WelcomeHead"); break;
        case pgLicence:
            LicenceCheck().OnClick = [this] { LicenceCheckClick(); };
            if (HasLicence(data_)) {
                MakeHeading("LicenceHead1");
                LicenceMemo().SetText(licenceText_);
                licenceText_ = std::string();
                LicenceCheck().SetChecked(false);
            }
            break;
        case pgDestination: {
            DestinationButton().OnClick = [this] { DestinationButtonClick(); };
            MakeHeading("DestinationHead1");
            TFont buttonFont = font;
            LimitFontPoints(buttonFont, kButtonMaxPoints);
            DestinationButton().SetFont(buttonFont);
            DestinationText().SetText(data_.Destination);
            break;
        }
        case pgFolder: {
            FolderEdit().OnChange = [this] { FolderEditChange(); };
            FolderList().OnClick = [this] { FolderListClick(); };
            MakeHeading("FolderHead1");
            FolderList().Clear();
            for (const std::string& name : ProgramFolderEntries(GetProgramsFolder(Handle()), FindEntries))
                FolderList().AddItem(name);
            FolderEdit().SetText(data_.Folder);
            TFont black = font;
            black.Color = clBlack;
            FolderEdit().SetFont(black);
            FolderList().SetFont(black);
            TFont bold = font;
            bold.Style |= fsBold;
            Control("FolderEditHead").SetFont(bold);
            Control("FolderListHead").SetFont(bold);
            break;
        }
        case pgCopy:
            MakeHeading("CopyHead1");
            Copymessage().SetText("");
            CopyProgress().SetPosition(0);
            break;
        case pgFinish: {
            MakeHeading("FinishHead1");
            const bool readMe = !Trim(data_.ReadMe).empty();
            Control("FinishDesktopPanel").SetVisible(data_.DesktopIcon);
            Control("FinishLaunchProgPanel").SetVisible(data_.LaunchProg);
            Control("FinishReadMePanel").SetVisible(readMe);
            DesktopCheck().SetChecked(data_.DesktopIcon);
            LaunchProgCheck().SetChecked(data_.LaunchProg);
            ReadMeCheck().SetChecked(readMe);
            break;
        }
    }
}

void TSetupForm::ApplyCaptions(const TCaptionTable& table) {
    captions_ = table;
    for (const TCaption& caption : table.Captions)
        if (auto made = controls_.find(caption.Control); made != controls_.end()) made->second->SetText(caption.Text);
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetText(table.ButtonTexts[i]);
    if (controls_.count("DestinationButton")) GrowDestinationButton();
}

void TSetupForm::ApplyPageCaptions(int index) {
    const char* page = PageEntry(index).Panel;
    for (const TCaption& caption : captions_.Captions) {
        const char* on = PageOf(caption.Control);
        if (on && std::strcmp(on, page) == 0) Control(caption.Control).SetText(caption.Text);
    }
    if (index == pgDestination) GrowDestinationButton();
}

// Wider for the longer word, with its right edge where it was.
void TSetupForm::GrowDestinationButton() {
    const int growth = captions_.DestinationButtonGrowth;
    if (!growth) return;
    const TBounds b = DestinationButton().Bounds();
    DestinationButton().SetBounds(b.Left - growth, b.Top, b.Width + growth, b.Height);
}

void TSetupForm::Remeasure(const char* label) {
    TLabel& l = Control<TLabel>(label);
    l.SetAutoSize(false);
    l.SetAutoSize(true);
}

void TSetupForm::DestinationButtonClick() {
    if (!folderMan_) return;
    folderMan_->FolderPath = data_.Destination;
    if (!folderMan_->Execute()) return;
    data_.Destination = folderMan_->FolderPath;
    DestinationText().SetText(data_.Destination);
}

void TSetupForm::FolderListClick() {
    const int index = FolderList().ItemIndex();
    if (index < 0) return;
    data_.Folder = FolderList().Item(index);
    FolderEdit().SetText(data_.Folder);
}

int TSetupForm::Confirm(const std::string& question) {
    return confirmation_ ? confirmation_->Confirm(question, data_.Language) : kConfirmNo;
}

void TSetupForm::ShowRefusal(const std::string& message) {
    MessageBoxA(Handle(), message.c_str(), data_.RazederodezTitle.c_str(), MB_OK | MB_ICONWARNING);
}

bool TSetupForm::DialogKey(const MSG& msg) {
    if (msg.message == WM_KEYDOWN && GetKeyState(VK_MENU) >= 0) {
        TWinControl* focused = TWinControl::FromHandle(msg.hwnd);
        const bool inLicence = focused == &LicenceMemo();
        const bool onButton = dynamic_cast<TButton*>(focused) != nullptr;
        if (msg.wParam == VK_RETURN && !inLicence && !onButton) {
            if (Forwardbutton.Enabled()) ForwardbuttonClick();
            return true;
        }
        if (msg.wParam == VK_ESCAPE) {
            CancelButtonClick();
            return true;
        }
    }
    return TZubForm::DialogKey(msg);
}

}  // namespace zub
