// The destination folder dialog: an edit field with the chosen path above a
// tree of the machine's folders. Created hidden at program start and shown
// modally each time the user browses for the destination:
//     folderMan.FolderPath = Destination;
//     if (folderMan.Execute()) Destination = folderMan.FolderPath;
#pragma once

#include <string>

#include "dialogs/dir_tree_win.h"
#include "ui/controls_win.h"
#include "ui/form_win.h"

namespace zub {

class TFolderMan : public TForm {
public:
    explicit TFolderMan(TComponent* owner);

    // Shows the dialog modally; true when it was left with "OK".
    bool Execute();

    // The path the dialog hands back; set it before Execute.
    std::string FolderPath;

    TPanel* Panel1;
    TLabel* Head;
    TLabel* PathLabel;
    TPanel* Panel2;
    TEdit* PathEdit;
    TLabel* DirLabel;
    TDirTreeWindow* DirTree;
    TButton* OKBut;
    TButton* CancelBut;
    TButton* NewBut;

    void DirTreeClick();
    void PathEditChange();
    void NewButClick();
};

}  // namespace zub
