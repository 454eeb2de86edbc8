// The wizard's page machine: which page follows on Forward and Back, which
// buttons each page enables, the licence consent, and the cancel question.
// The machine is portable; it drives the window through IWizardView, which the
// wizard form implements and tests can record.
#pragma once

#include <cstdint>
#include <string>

#include "formats/setup_data.h"

namespace zub {

enum TPageIndex : uint8_t {
    pgWelcome = 0,
    pgLicence = 1,
    pgDestination = 2,
    pgFolder = 3,
    pgCopy = 4,
    pgFinish = 5,
};
constexpr int kPageCount = 6;

enum class TButtonChange { Unchanged, Enable, Disable };

// One row of the page table: the page's panel, its two headings (re-measured
// whenever the page is shown, since their text or width may have changed) and
// what showing the page does to Back and Forward.
struct TPageEntry {
    const char* Panel;
    const char* Head1;
    const char* Head2;
    TButtonChange Back;
    TButtonChange Forward;
};

// The row of page `index` (0 to 5).
const TPageEntry& PageEntry(int index);

// A licence page exists when the Licence setting holds more than blanks.
bool HasLicence(const TSetupData& data);

// What a click on Forward or Back leads to.
enum class TStepKind { Nothing, ShowPage, FinishSetup };
struct TStep {
    TStepKind Kind = TStepKind::Nothing;
    int Page = 0;
    bool operator==(const TStep& o) const { return Kind == o.Kind && Page == o.Page; }
};
TStep ForwardStep(int page, bool hasLicence);
TStep BackStep(int page, bool hasLicence);
// Cancel asks on the first four pages only; on the copying and completion
// pages it does nothing (but see TPageMachine::CancelClick).
bool CancelAsks(int page);

// The modal result of the cancel question that means yes.
constexpr int kConfirmYes = 6;
constexpr int kConfirmNo = 7;

// What the machine needs of the window.
class IWizardView {
public:
    virtual ~IWizardView() = default;
    virtual void SetBackEnabled(bool enabled) = 0;
    virtual void SetForwardEnabled(bool enabled) = 0;
    // Shows the page panel of this name and hides the others.
    virtual void BringToFront(const char* panel) = 0;
    // Fits a word-wrapped label's height to its text at its current width.
    virtual void Remeasure(const char* label) = 0;
    // Clears the licence consent box; like a click by the user, this reaches
    // the machine's LicenceCheckClick when the state changes.
    virtual void ClearLicenceCheck() = 0;
    virtual void FocusFolderEdit() = 0;
    virtual void RepaintForm() = 0;
    // The installation run: true when it installed; false when it failed or
    // was cancelled, was undone and the user told, and the setup is ending.
    virtual bool InstallFiles() = 0;
    // The finishing actions, the optional ones (desktop shortcut, read-me,
    // launch) only with `options`; raises when the log or the uninstall entry
    // could not be written.
    virtual void FinishSetup(bool options) = 0;
    // Undoes the whole installation, tells the user and ends the setup.
    virtual void AbandonInstallation() = 0;
    // Asks the cancel question modally and returns the dialog's modal result.
    virtual int Confirm(const std::string& question) = 0;
    virtual void CloseForm() = 0;
    // Tells the user why Forward did not go on (a message box).
    virtual void ShowRefusal(const std::string& message) = 0;
};

class TPageMachine {
public:
    TPageMachine(TSetupData& data, IWizardView& view) : data_(data), view_(view) {}

    // Records the page in CurrentPage, sets the buttons, shows the panel.
    // Page 4 runs the installation to its end and then shows page 5; when the
    // installation fails, the wizard stays on page 4 (and the setup ends).
    void ShowPage(int index);

    void ForwardClick();
    void BackClick();
    // On the first four pages: the cancel question. On the completion page,
    // once the finishing actions have failed: the question, then the whole
    // installation is undone.
    void CancelClick();
    // A close request from the window system: false to refuse it. Refused
    // while the installation runs; on the completion page the uninstall entry
    // and setup.log are written first (without the optional actions), and a
    // failure there refuses it. Everywhere else the window closes.
    bool CloseRequested();
    // Forward follows the licence consent box.
    void LicenceCheckClick(bool checked);

private:
    void Go(const TStep& step);
    // Forward on the destination and program-folder pages goes on only with
    // a choice the installation can use.
    bool AcceptsPage(int page);

    void Finish(bool options);

    TSetupData& data_;
    IWizardView& view_;
    bool finished_ = false;      // the finishing actions have completed
    bool finishFailed_ = false;  // they were tried and failed
};

}  // namespace zub
