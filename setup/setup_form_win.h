// The wizard form. Its construction is the start-up of the setup: work folder,
// payload, Setup.ini, the pages prepared from the settings; its destruction
// removes the work folder again.
#pragma once

#include <array>
#include <map>
#include <string>

#include "setup/command_line.h"
#include "setup/install_journal.h"
#include "formats/log_book.h"
#include "formats/setup_data.h"
#include "formats/setup_script.h"
#include "setup/wizard_layout.h"
#include "setup/wizard_pages.h"
#include "setup/wizard_texts.h"
#include "setup/work_folder.h"
#include "skin/zub_form_win.h"
#include "skin/zub_frame_win.h"
#include "ui/controls_win.h"

namespace zub {

class TConfirmationForm;
class TRunTrace;
class TStartupUnpacking;
class TFolderMan;

// One of the wizard's image buttons, dressed by a Button block of Setup.ini.
class TSkinButton : public TZubButton, public ISkinButtonTarget {
public:
    using TZubButton::TZubButton;

    void SetTop(int32_t v) override { SetBounds(Bounds().Left, v, Bounds().Width, Bounds().Height); }
    void SetLeft(int32_t v) override { SetBounds(v, Bounds().Top, Bounds().Width, Bounds().Height); }
    void SetImageNormal(const std::string& f) override { ImageNormal = f; }
    void SetImageOver(const std::string& f) override { ImageOver = f; }
    void SetImagePressed(const std::string& f) override { ImagePressed = f; }
    void SetImageDisabled(const std::string& f) override { ImageDisabled = f; }
    void SetInvisibleColor(int32_t c) override { Graphic().SetInvisibleColor(c); }
};

class TSetupForm : public TZubForm, public ISetupScriptTarget, private IWizardView {
    // Declared first so that it goes last: the folder is removed after the
    // setup data is freed and before the window is destroyed.
    TWorkFolderGuard workFolder_;
    TSetupData data_;
    TSetupLogBook logBook_;
    // What the installation made and replaced, until it is complete.
    TInstallJournal journal_;
    // The page area's controls by name, filled while they are made.
    std::map<std::string, TWinControl*> controls_;

public:
    // The work folder and the payload come from `unpacking`, which runs while
    // the window and its controls are made; recordedWorkFolder receives the
    // work folder's path for the program's final clean-up as soon as the form
    // has it. media is the program's image cache, which outlives the form.
    // The command line may name the destination to propose; what the setup
    // does goes to `trace`.
    TSetupForm(TComponent* owner, TStartupUnpacking& unpacking, std::string& recordedWorkFolder, KMediaList& media,
               const TSetupOptions& options, TRunTrace& trace);
    ~TSetupForm() override;

    // The two dialogs the pages open; they are made after the wizard form.
    void SetDialogs(TFolderMan& folderMan, TConfirmationForm& confirmation);

    // ISetupScriptTarget
    TSetupData& SetupData() override { return data_; }
    // The page area's bounds are collected while Setup.ini is read.
    void SetPageAreaTop(int32_t v) override { pageArea_.Top = v; }
    void SetPageAreaLeft(int32_t v) override { pageArea_.Left = v; }
    void SetPageAreaWidth(int32_t v) override { pageArea_.Width = v; }
    void SetPageAreaHeight(int32_t v) override { pageArea_.Height = v; }
    void SetPanelBitmap(const std::string& fileName) override { Graphic().SetFileName(fileName); }
    void SetPanelInvisibleColor(int32_t color) override { Graphic().SetInvisibleColor(color); }
    ISkinButtonTarget& Button(TButtonKind kind) override { return *buttons_[static_cast<size_t>(kind)]; }

    // The settings of the page area and of the pages made so far (the first
    // one before the wizard shows), and what the other pages will show that
    // the settings decide now: the destination proposed, the licence text.
    void ApplySettings();
    // Makes the pages the first one does not need, each prepared from the
    // settings; called once the wizard shows, before it handles a message.
    void MakeOtherPages();
    // Shows page 0 to 5 and sets Back and Forward for it.
    void ShowPage(int index) { pages_.ShowPage(index); }
    void SetEnglishTexts() { ApplyCaptions(EnglishTexts(data_.RazederodezTitle)); }
    void SetGermanTexts() { ApplyCaptions(GermanTexts(data_.RazederodezTitle)); }

    // Event handlers.
    void ForwardbuttonClick() { pages_.ForwardClick(); }
    void BackbuttonClick() { pages_.BackClick(); }
    void CancelButtonClick() { pages_.CancelClick(); }
    void LicenceCheckClick() { pages_.LicenceCheckClick(LicenceCheck().Checked()); }
    void DestinationButtonClick();
    void FolderEditChange() { data_.Folder = FolderEdit().Text(); }
    void FolderListClick();

    // The installation run (page 4) and the finishing actions (Forward on page 5).
    bool InstallFiles() override;
    void FinishSetup(bool options) override;
    void AbandonInstallation() override;

    // How the wizard ended: installed, failed (and rolled back), or cancelled,
    // which is also what closing it in any other way counts as.
    int ExitCode() const { return exitCode_; }

    // Enter works as Forward (not in the licence text), Esc as Cancel.
    bool DialogKey(const MSG& msg) override;

    // A control of the page area by its name; its page must be made.
    TWinControl& Control(const std::string& name) const { return *controls_.at(name); }
    template <class T>
    T& Control(const std::string& name) const {
        return dynamic_cast<T&>(Control(name));
    }

    // The record of everything installed; the finishing actions write it.
    TSetupLogBook& LogBook() { return logBook_; }
    TSkinButton& Backbutton;
    TSkinButton& Forwardbutton;
    TSkinButton& Cancelbutton;
    TPanel& MainPanel;
    // The controls the handlers and the installation work with.
    TMemo& LicenceMemo() const { return Control<TMemo>("LicenceMemo"); }
    TCheckBox& LicenceCheck() const { return Control<TCheckBox>("LicenceCheck"); }
    TLabel& DestinationText() const { return Control<TLabel>("DestinationText"); }
    TButton& DestinationButton() const { return Control<TButton>("DestinationButton"); }
    TEdit& FolderEdit() const { return Control<TEdit>("FolderEdit"); }
    TListBox& FolderList() const { return Control<TListBox>("FolderList"); }
    TLabel& Copymessage() const { return Control<TLabel>("Copymessage"); }
    TProgressBar& CopyProgress() const { return Control<TProgressBar>("CopyProgress"); }
    TCheckBox& DesktopCheck() const { return Control<TCheckBox>("DesktopCheck"); }
    TCheckBox& ReadMeCheck() const { return Control<TCheckBox>("ReadMeCheck"); }
    TCheckBox& LaunchProgCheck() const { return Control<TCheckBox>("LaunchProgCheck"); }

private:
    TSkinButton& MakeButton(const char* name, int left, int top, KMediaList& media);
    // MainPanel and the page area with the first page on it.
    TPanel& BuildPageArea();
    // Every control of page `index`; a page other than the first is made
    // hidden and laid out for the page area as it is now.
    void MakePage(int index);
    TWinControl& MakeControl(const TControlDesign& design, TWinControl& parent);
    // What the settings put on page `index` and the handlers of its controls.
    void PreparePage(int index);
    void ApplySkin();
    // Sets the texts of the table on the controls made so far and keeps the
    // table for the pages made later (ApplyPageCaptions).
    void ApplyCaptions(const TCaptionTable& table);
    void ApplyPageCaptions(int index);
    void GrowDestinationButton();
    void MakeHeading(const char* name);

    // IWizardView
    void SetBackEnabled(bool enabled) override { Backbutton.SetEnabled(enabled); }
    void SetForwardEnabled(bool enabled) override { Forwardbutton.SetEnabled(enabled); }
    void BringToFront(const char* panel) override { Control(panel).BringToFront(); }
    void Remeasure(const char* label) override;
    void ClearLicenceCheck() override { LicenceCheck().SetChecked(false); }
    void FocusFolderEdit() override { FolderEdit().SetFocus(); }
    void RepaintForm() override { Repaint(); }
    int Confirm(const std::string& question) override;
    void CloseForm() override { Close(); }
    // Shows why the setup did not install, hides the window and ends the
    // message loop with the exit code that says whether all was undone.
    void EndFailed(const std::exception& error);
    void ShowRefusal(const std::string& message) override;

    // While the installation runs, a close request (the taskbar, another
    // program) would end the message loop under it: it is refused. On the
    // completion page it first finishes what the uninstaller needs.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool installing_ = false;
    int exitCode_ = kExitCancelled;
    const TSetupOptions& options_;
    TRunTrace& trace_;

    std::array<TSkinButton*, 3> buttons_;
    TBounds pageArea_;
    TCaptionTable captions_;
    // Read at start-up, so that a licence that cannot be shown stops the
    // setup before the wizard shows; kept until the licence page is made.
    std::string licenceText_;
    TPageMachine pages_{data_, *this};
    TFolderMan* folderMan_ = nullptr;
    TConfirmationForm* confirmation_ = nullptr;
};

}  // namespace zub
