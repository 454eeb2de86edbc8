// The cancel question: a hidden form for now.
#pragma once

#include "ui/form_win.h"

namespace zub {

class TConfirmationForm : public TForm {
public:
    explicit TConfirmationForm(TComponent* owner)
        : TForm(owner, "TConfirmationForm", "Setup", WS_POPUP | WS_CAPTION, 300, 120) {}
};

}  // namespace zub
