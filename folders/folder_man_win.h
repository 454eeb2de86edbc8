// The destination folder dialog: a hidden form for now.
#pragma once

#include <string>

#include "ui/form_win.h"

namespace zub {

class TFolderMan : public TForm {
public:
    explicit TFolderMan(TComponent* owner)
        : TForm(owner, "TFolderMan", "Select Folder", WS_POPUP | WS_CAPTION | WS_SYSMENU, 320, 360) {}

    // The folder shown when the dialog opens and chosen when it closes with OK.
    std::string FolderPath;
    // Shows the dialog modally; true when the user confirmed with OK.
    bool Execute() { return false; }
};

}  // namespace zub
