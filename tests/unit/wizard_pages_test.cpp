#include "setup/wizard_pages.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "setup/wizard_texts.h"

namespace zub {
namespace {

// A window that records what the machine asks of it and behaves like the real
// one where the machine relies on it: the consent box reports its changes.
class FakeView : public IWizardView {
public:
    TPageMachine* Machine = nullptr;
    bool Back = true, Forward = true;  // the skin enables both before page 0
    bool LicenceChecked = false;
    std::string Front;
    std::vector<std::string> Calls;
    int Answer = kConfirmNo;
    std::vector<std::string> Questions, Refusals;
    bool InstallFails = false, FinishThrows = false;
    int Installs = 0, Closes = 0, Abandons = 0;
    std::vector<bool> Finishes;  // with or without the optional actions

    void SetBackEnabled(bool e) override { Back = e; }
    void SetForwardEnabled(bool e) override { Forward = e; }
    void BringToFront(const char* panel) override { Front = panel; }
    void Remeasure(const char* label) override { Calls.push_back(std::string("measure ") + label); }
    void ClearLicenceCheck() override { SetLicence(false); }
    void FocusFolderEdit() override { Calls.push_back("focus FolderEdit"); }
    void RepaintForm() override { Calls.push_back("repaint"); }
    bool InstallFiles() override {
        ++Installs;
        EXPECT_EQ(Front, "CopyBox");
        EXPECT_FALSE(Back);
        EXPECT_FALSE(Forward);
        return !InstallFails;
    }
    void FinishSetup(bool options) override {
        Finishes.push_back(options);
        if (FinishThrows) throw std::runtime_error("Datei C:\\App\\setup.log kann nicht erstellt werden");
    }
    void AbandonInstallation() override { ++Abandons; }
    int Confirm(const std::string& question) override {
        Questions.push_back(question);
        return Answer;
    }
    void CloseForm() override { ++Closes; }
    void ShowRefusal(const std::string& message) override { Refusals.push_back(message); }

    // The user ticks or clears the box.
    void SetLicence(bool checked) {
        if (checked == LicenceChecked) return;
        LicenceChecked = checked;
        Machine->LicenceCheckClick(checked);
    }
};

class PageMachine : public ::testing::Test {
protected:
    PageMachine() : machine(data, view) {
        view.Machine = &machine;
        data.Destination = "C:\\Program Files\\App";
        data.Folder = "App";
    }
    void Start(const std::string& licence) {
        data.Licence = licence;
        machine.ShowPage(pgWelcome);
    }
    // Clicks on a disabled image button are never delivered.
    void Forward() {
        if (view.Forward) machine.ForwardClick();
    }
    void Back() {
        if (view.Back) machine.BackClick();
    }
    void ExpectPage(int page, bool back, bool forward) {
        EXPECT_EQ(data.CurrentPage, page);
        EXPECT_EQ(view.Front, PageEntry(page).Panel);
        EXPECT_EQ(view.Back, back) << "Back on page " << page;
        EXPECT_EQ(view.Forward, forward) << "Forward on page " << page;
    }

    TSetupData data;
    FakeView view;
    TPageMachine machine;
};

TEST(PageTable, StepsByPageWithAndWithoutLicence) {
    const TStep nothing{};
    auto show = [](int p) { return TStep{TStepKind::ShowPage, p}; };
    struct Row {
        int page;
        TStep forwardLicence, forwardNone, backLicence, backNone;
        bool asks;
    };
    const Row rows[] = {
        {0, show(1), show(2), nothing, nothing, true},
        {1, show(2), show(2), show(0), show(0), true},
        {2, show(3), show(3), show(1), show(0), true},
        {3, show(4), show(4), show(2), show(2), true},
        {4, nothing, nothing, nothing, nothing, false},
        {5, {TStepKind::FinishSetup, 0}, {TStepKind::FinishSetup, 0}, nothing, nothing, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ForwardStep(r.page, true), r.forwardLicence) << r.page;
        EXPECT_EQ(ForwardStep(r.page, false), r.forwardNone) << r.page;
        EXPECT_EQ(BackStep(r.page, true), r.backLicence) << r.page;
        EXPECT_EQ(BackStep(r.page, false), r.backNone) << r.page;
        EXPECT_EQ(CancelAsks(r.page), r.asks) << r.page;
    }
}

TEST(PageTable, LicenceIsPresentOnlyWithMoreThanBlanks) {
    TSetupData d;
    for (const char* blank : {"", "   ", "\t \r\n"}) {
        d.Licence = blank;
        EXPECT_FALSE(HasLicence(d)) << '"' << blank << '"';
    }
    d.Licence = " Licence.txt ";
    EXPECT_TRUE(HasLicence(d));
}

TEST_F(PageMachine, WalksEveryPageWithLicenceAndConsentGatesForward) {
    Start("Licence.txt");
    ExpectPage(0, false, true);
    Forward();
    ExpectPage(1, true, false);
    Forward();  // disabled: stays
    ExpectPage(1, true, false);
    view.SetLicence(true);
    EXPECT_TRUE(view.Forward);
    view.SetLicence(false);
    EXPECT_FALSE(view.Forward);
    view.SetLicence(true);
    Forward();
    ExpectPage(2, true, true);
    Back();  // the consent is asked anew
    ExpectPage(1, true, false);
    EXPECT_FALSE(view.LicenceChecked);
    Back();
    ExpectPage(0, false, true);
    Forward();
    view.SetLicence(true);
    Forward();
    Forward();
    ExpectPage(3, true, true);
    Back();
    ExpectPage(2, true, true);
    Forward();
    ExpectPage(3, true, true);
    EXPECT_EQ(view.Installs, 0);
    Forward();  // installs inside ShowPage(4) and arrives on page 5
    EXPECT_EQ(view.Installs, 1);
    ExpectPage(5, false, true);
    EXPECT_TRUE(view.Finishes.empty());
    Forward();
    EXPECT_EQ(view.Finishes, std::vector<bool>{true});
}

TEST_F(PageMachine, WithoutLicenceTheLicencePageIsNeverShown) {
    Start("  ");
    Forward();
    ExpectPage(2, true, true);
    Back();
    ExpectPage(0, false, true);
}

TEST_F(PageMachine, ShowPageMeasuresHeadingsAndFocusesTheFolderField) {
    Start("");
    view.Calls.clear();
    machine.ShowPage(pgFolder);
    const std::vector<std::string> expected = {"measure FolderHead1", "measure FolderHead2", "focus FolderEdit",
                                               "repaint"};
    EXPECT_EQ(view.Calls, expected);
    view.Calls.clear();
    machine.ShowPage(pgFinish);
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"measure FinishHead1", "measure FinshHead2"}));
}

TEST_F(PageMachine, FailedInstallationStaysOnTheCopyingPage) {
    Start("");
    Forward();
    Forward();
    view.InstallFails = true;
    Forward();
    ExpectPage(4, false, false);  // never the completion page on the hidden window
    machine.CancelClick();
    EXPECT_TRUE(view.Questions.empty());
    machine.ForwardClick();  // would be undeliverable anyway; does nothing
    machine.BackClick();
    ExpectPage(4, false, false);
    EXPECT_TRUE(view.Finishes.empty());
    EXPECT_FALSE(machine.CloseRequested());
}

TEST_F(PageMachine, CloseRequestFinishesOnTheCompletionPageOnlyAndOnlyOnce) {
    Start("");
    EXPECT_TRUE(machine.CloseRequested());  // nothing installed yet: it just closes
    Forward();
    Forward();
    EXPECT_TRUE(machine.CloseRequested());
    EXPECT_TRUE(view.Finishes.empty());
    Forward();
    ExpectPage(5, false, true);
    EXPECT_TRUE(machine.CloseRequested());
    EXPECT_EQ(view.Finishes, std::vector<bool>{false});  // without desktop shortcut, read-me, launch
    EXPECT_TRUE(machine.CloseRequested());
    Forward();  // the close came first: the finishing is not done again
    EXPECT_EQ(view.Finishes, std::vector<bool>{false});
}

TEST_F(PageMachine, ForwardOnTheCompletionPageFinishesWithTheOptionsAndCloses) {
    data.CurrentPage = pgFinish;
    Forward();
    EXPECT_EQ(view.Finishes, std::vector<bool>{true});
    EXPECT_EQ(view.Closes, 1);
    EXPECT_TRUE(machine.CloseRequested());  // the close that Forward asks for
    EXPECT_EQ(view.Finishes.size(), 1u);
}

TEST_F(PageMachine, FailedFinishingKeepsThePageAndCancelUndoesTheInstallation) {
    Start("");
    data.CurrentPage = pgFinish;
    view.Answer = kConfirmYes;
    machine.CancelClick();  // before any failure Cancel does nothing here
    EXPECT_TRUE(view.Questions.empty());

    view.FinishThrows = true;
    EXPECT_THROW(Forward(), std::runtime_error);
    EXPECT_THROW(machine.CloseRequested(), std::runtime_error);  // refused, the page stays
    EXPECT_EQ(view.Closes, 0);
    EXPECT_EQ(view.Finishes, (std::vector<bool>{true, false}));
    view.Answer = kConfirmNo;
    machine.CancelClick();
    EXPECT_EQ(view.Abandons, 0);
    view.Answer = kConfirmYes;
    machine.CancelClick();
    EXPECT_EQ(view.Abandons, 1);
    EXPECT_EQ(view.Questions.size(), 2u);
    EXPECT_TRUE(machine.CloseRequested());  // undone: closing finishes nothing
    EXPECT_EQ(view.Finishes.size(), 2u);
    EXPECT_EQ(view.Closes, 0);
}

TEST_F(PageMachine, ForwardAfterAFailedFinishTriesAgain) {
    data.CurrentPage = pgFinish;
    view.FinishThrows = true;
    EXPECT_THROW(Forward(), std::runtime_error);
    view.FinishThrows = false;
    Forward();
    EXPECT_EQ(view.Finishes, (std::vector<bool>{true, true}));
    EXPECT_EQ(view.Closes, 1);
    machine.CancelClick();
    EXPECT_EQ(view.Abandons, 0);
}

TEST_F(PageMachine, CancelAsksOnFirstFourPagesAndClosesOnlyOnYes) {
    Start("Licence.txt");
    view.Answer = kConfirmNo;
    machine.CancelClick();
    Forward();
    view.SetLicence(true);
    machine.CancelClick();  // answered no: the consent and Forward stay
    ExpectPage(1, true, true);
    EXPECT_TRUE(view.LicenceChecked);
    view.Answer = 2;  // the close box: anything but yes counts as no
    machine.CancelClick();
    EXPECT_EQ(view.Closes, 0);
    view.Answer = kConfirmYes;
    machine.CancelClick();
    EXPECT_EQ(view.Closes, 1);
    EXPECT_EQ(view.Questions, std::vector<std::string>(4, "Do you want to cancel setup?"));
}

TEST_F(PageMachine, CancelQuestionFollowsLanguageExactly) {
    for (const char* language : {"English", "French", "Spanish", "", "german", "GERMAN"}) {
        data.Language = language;
        view.Questions.clear();
        machine.CancelClick();
        EXPECT_EQ(view.Questions, std::vector<std::string>{"Do you want to cancel setup?"}) << language;
    }
    data.Language = "German";
    view.Questions.clear();
    machine.CancelClick();
    EXPECT_EQ(view.Questions, std::vector<std::string>{"Wollen Sie das Setup abbrechen?"});
}

TEST_F(PageMachine, CancelOnLastTwoPagesDoesNothing) {
    Start("");
    view.Answer = kConfirmYes;
    for (int page : {pgCopy, pgFinish}) {
        data.CurrentPage = static_cast<uint8_t>(page);
        machine.CancelClick();
    }
    EXPECT_TRUE(view.Questions.empty());
    EXPECT_EQ(view.Closes, 0);
}

TEST_F(PageMachine, ForwardRefusesUnusableDestinationAndFolderInTheWizardsLanguage) {
    Start("");
    Forward();
    for (const char* bad : {"", "App", "\\App", "C:App"}) {
        data.Destination = bad;
        Forward();
        ExpectPage(2, true, true);
    }
    ASSERT_EQ(view.Refusals.size(), 4u);
    EXPECT_EQ(view.Refusals[0], DestinationRefusal(TLanguage::English));

    data.Destination = "D:\\Apps\\";  // as the folder dialog hands it back
    Forward();
    ExpectPage(3, true, true);
    data.Language = "German";
    data.Folder = "My App.";
    Forward();
    ExpectPage(3, true, true);
    ASSERT_EQ(view.Refusals.size(), 5u);
    EXPECT_EQ(view.Refusals[4], ProgramFolderRefusal(TLanguage::German, "My App."));
    EXPECT_EQ(view.Installs, 0);
    data.Folder = "My App";
    Forward();
    ExpectPage(5, false, true);
}

}  // namespace
}  // namespace zub
