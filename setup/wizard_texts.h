// The wizard's built-in texts in English and German (Windows-1252): the page
// captions by control name, the cancel question and its dialog, and the
// messages with which Forward refuses an unusable choice.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/language.h"

namespace zub {


struct TCaption {
    const char* Control;
    std::string Text;
};

struct TCaptionTable {
    // In the order they are applied; the application's title is spliced in.
    std::vector<TCaption> Captions;
    // How many pixels DestinationButton grows to the left for its caption.
    int DestinationButtonGrowth = 0;
    // The window texts of the Back, Forward and Cancel image buttons: what a
    // screen reader announces; nothing draws them.
    std::array<std::string, 3> ButtonTexts;
};

TCaptionTable EnglishTexts(const std::string& title);
TCaptionTable GermanTexts(const std::string& title);
TCaptionTable CaptionTableOf(const std::string& language, const std::string& title);

// The page headings set in the larger bold font; LicenceHead1 only when a
// licence is shown.
std::vector<const char*> FirstHeadings(bool hasLicence);

// The cancel question and the words of its dialog.
struct TConfirmationTexts {
    const char* Title;
    const char* Yes;
    const char* No;
};
TConfirmationTexts ConfirmationTextsOf(const std::string& language);
std::string CancelQuestion(const std::string& language);

// Why Forward stays on the destination or program-folder page.
std::string DestinationRefusal(TLanguage language);
std::string ProgramFolderRefusal(TLanguage language, const std::string& folder);

}  // namespace zub
