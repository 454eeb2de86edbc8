#include "setup/confirmation_form_win.h"

#include "setup/wizard_pages.h"
#include "setup/wizard_texts.h"

namespace zub {
namespace {

constexpr int kClientWidth = 344;
constexpr int kClientHeight = 102;
constexpr int kOuterHeight = 126;

TLabel& MakeMessageLabel(TForm& form) {
    TLabel& label = form.Own<TLabel>(&form);
    label.Name = "MessageLabel";
    label.SetAutoSize(false);
    label.SetWordWrap(true);
    label.SetAlignment(TAlignment::taCenter);
    TFont font;
    font.Height = -13;
    label.SetFont(font);
    label.SetBounds(8, 16, 329, 41);
    label.SetVisible(true);
    return label;
}

TButton& MakeButton(TForm& form, const char* name, int left) {
    TButton& button = form.Own<TButton>(&form);
    button.Name = name;
    button.SetBounds(left, 72, 75, 25);
    button.SetTabStop(true);
    button.SetVisible(true);
    return button;
}

TFont DialogFont() {
    TFont font;  // "MS Sans Serif", 11 pixels
    font.Height = -11;
    return font;
}

}  // namespace

TConfirmationForm::TConfirmationForm(TComponent* owner)
    : TForm(owner, "TConfirmationForm", "Confirmation!", TFormBorderStyle::bsDialog, kClientWidth, kOuterHeight),
      MessageLabel(MakeMessageLabel(*this)),
      YesBut(MakeButton(*this, "YesBut", 184)),
      NoBut(MakeButton(*this, "NoBut", 264)) {
    SetFont(DialogFont());
    SetClientSize(kClientWidth, kClientHeight);
    Center();
    // Neither button is the default or the cancel button: Esc does not answer.
    YesBut.OnClick = [this] { YesButClick(); };
    NoBut.OnClick = [this] { NoButClick(); };
    SetActiveControl(&YesBut);
}

int TConfirmationForm::Confirm(const std::string& message, const std::string& language) {
    const TConfirmationTexts texts = ConfirmationTextsOf(language);
    SetText(texts.Title);
    YesBut.SetCaption(texts.Yes);
    NoBut.SetCaption(texts.No);
    MessageLabel.SetText(message);
    SetHeight(kOuterHeight);
    return ShowModal();
}

// The button that answered keeps the focus for the next question.
void TConfirmationForm::YesButClick() {
    SetActiveControl(&YesBut);
    SetModalResult(kConfirmYes);
}

void TConfirmationForm::NoButClick() {
    SetActiveControl(&NoBut);
    SetModalResult(kConfirmNo);
}

}  // namespace zub
