// The destination folder dialog: a hidden form for now.
#pragma once

#include "ui/form_win.h"

namespace zub {

class TFolderMan : public TForm {
public:
    explicit TFolderMan(TComponent* owner)
        : TForm(owner, "TFolderMan", "Select Folder", WS_POPUP | WS_CAPTION | WS_SYSMENU, 320, 360) {}
};

}  // namespace zub
