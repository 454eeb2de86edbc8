// The cancel question: a small plain dialog, made once and hidden between
// questions, that asks with Yes and No in English or German.
#pragma once

#include <string>

#include "ui/controls_win.h"
#include "ui/form_win.h"

namespace zub {

class TConfirmationForm : public TForm {
public:
    explicit TConfirmationForm(TComponent* owner);

    // Sets every text anew for the language, shows the message modally and
    // returns the modal result: 6 for yes, 7 for no, anything else when the
    // dialog was closed in another way (which counts as no).
    int Confirm(const std::string& message, const std::string& language);

    void YesButClick();
    void NoButClick();

    TLabel& MessageLabel;
    TButton& YesBut;
    TButton& NoBut;
};

}  // namespace zub
