#include "setup/wizard_pages.h"

#include <array>

#include "base/strings.h"
#include "setup/wizard_checks.h"
#include "setup/wizard_texts.h"

namespace zub {
namespace {

using B = TButtonChange;

// Page 2 leaves Forward alone because both ways into it (Forward from page 0
// or 1, Back from page 3) find it enabled; page 3 leaves both alone because it
// is entered only from pages 2 and 4, which set them.
const std::array<TPageEntry, kPageCount> kPages = {{
    {"WelcomeBox", "WelcomeHead", "WelcomeText", B::Disable, B::Enable},
    {"LicenceBox", "LicenceHead1", "LicenceHead2", B::Enable, B::Disable},
    {"DestinationBox", "DestinationHead1", "DestinationHead2", B::Enable, B::Unchanged},
    {"FolderBox", "FolderHead1", "FolderHead2", B::Unchanged, B::Unchanged},
    {"CopyBox", "CopyHead1", "CopyHead2", B::Disable, B::Disable},
    {"FinishBox", "FinishHead1", "FinshHead2", B::Disable, B::Enable},
}};

TStep Show(int page) { return {TStepKind::ShowPage, page}; }

}  // namespace

const TPageEntry& PageEntry(int index) { return kPages.at(static_cast<size_t>(index)); }

bool HasLicence(const TSetupData& data) { return !Trim(data.Licence).empty(); }

TStep ForwardStep(int page, bool hasLicence) {
    switch (page) {
        case pgWelcome: return Show(hasLicence ? pgLicence : pgDestination);
        case pgLicence: return Show(pgDestination);
        case pgDestination: return Show(pgFolder);
        case pgFolder: return Show(pgCopy);
        case pgFinish: return {TStepKind::FinishSetup, 0};
        default: return {};
    }
}

TStep BackStep(int page, bool hasLicence) {
    switch (page) {
        case pgLicence: return Show(pgWelcome);
        case pgDestination: return Show(hasLicence ? pgLicence : pgWelcome);
        case pgFolder: return Show(pgDestination);
        default: return {};
    }
}

bool CancelAsks(int page) { return page >= pgWelcome && page <= pgFolder; }

void TPageMachine::ShowPage(int index) {
    const TPageEntry& entry = PageEntry(index);
    data_.CurrentPage = static_cast<uint8_t>(index);
    if (entry.Back != B::Unchanged) view_.SetBackEnabled(entry.Back == B::Enable);
    if (entry.Forward != B::Unchanged) view_.SetForwardEnabled(entry.Forward == B::Enable);
    if (index == pgLicence) view_.ClearLicenceCheck();
    view_.BringToFront(entry.Panel);
    view_.Remeasure(entry.Head1);
    view_.Remeasure(entry.Head2);
    if (index == pgFolder) {
        view_.FocusFolderEdit();
        view_.RepaintForm();
    }
    // A failed or cancelled run leaves the window where it is: the setup ends.
    if (index == pgCopy && view_.InstallFiles()) ShowPage(pgFinish);
}

void TPageMachine::ForwardClick() {
    if (!AcceptsPage(data_.CurrentPage)) return;
    Go(ForwardStep(data_.CurrentPage, HasLicence(data_)));
}

void TPageMachine::BackClick() { Go(BackStep(data_.CurrentPage, HasLicence(data_))); }

void TPageMachine::Go(const TStep& step) {
    if (step.Kind == TStepKind::ShowPage) ShowPage(step.Page);
    if (step.Kind == TStepKind::FinishSetup && !finished_) {
        Finish(true);
        view_.CloseForm();
    }
}

void TPageMachine::Finish(bool options) {
    try {
        view_.FinishSetup(options);
    } catch (...) {
        finishFailed_ = true;
        throw;
    }
    finished_ = true;
}

void TPageMachine::CancelClick() {
    const bool undo = data_.CurrentPage == pgFinish && finishFailed_ && !finished_;
    if (!CancelAsks(data_.CurrentPage) && !undo) return;
    if (view_.Confirm(CancelQuestion(data_.Language)) != kConfirmYes) return;
    if (!undo) {
        view_.CloseForm();
        return;
    }
    // Nothing is left to finish: a close request now only closes.
    finished_ = true;
    view_.AbandonInstallation();
}

bool TPageMachine::CloseRequested() {
    if (data_.CurrentPage == pgCopy) return false;
    // Closing here must not strand the installed files without their uninstaller.
    if (data_.CurrentPage == pgFinish && !finished_) Finish(false);
    return true;
}

void TPageMachine::LicenceCheckClick(bool checked) { view_.SetForwardEnabled(checked); }

bool TPageMachine::AcceptsPage(int page) {
    const TLanguage language = LanguageOfSetting(data_.Language);
    if (page == pgDestination && !IsUsableDestination(data_.Destination)) {
        view_.ShowRefusal(DestinationRefusal(language));
        return false;
    }
    if (page == pgFolder && !IsUsableProgramFolder(data_.Folder)) {
        view_.ShowRefusal(ProgramFolderRefusal(language, data_.Folder));
        return false;
    }
    return true;
}

}  // namespace zub
