#include "dialogs/folder_man_win.h"

#include "base/error.h"
#include "shell/shell_win.h"

namespace zub {
namespace {

constexpr TColor kDialogColor = 14737632;  // RGB 224, 224, 224

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TLabel& TopLabel(TFolderMan& form, TWinControl* parent, const char* text, int height) {
    TLabel& label = form.Own<TLabel>(parent);
    label.SetAutoSize(false);
    label.SetText(text);
    label.SetHeight(height);
    label.SetAlign(TAlign::alTop);
    return label;
}

TButton& BottomButton(TFolderMan& form, const char* text, int left, int modalResult) {
    TButton& button = form.Own<TButton>(&form);
    button.SetText(text);
    button.SetBounds(left, 288, 75, 24);
    button.SetAnchors(akRight | akBottom);
    button.ModalResult = modalResult;
    return button;
}

}  // namespace

TFolderMan::TFolderMan(TComponent* owner)
    : TForm(owner, "TFolderMan", "Choose Folder", TFormBorderStyle::bsSizeable, 316, 358) {
    SetColor(kDialogColor);
    TFont font;
    font.Name = "MS Sans Serif";
    font.Height = -11;
    font.Color = clBlack;
    SetFont(font);

    Panel1 = &Own<TPanel>(this);
    Panel1->SetColor(kDialogColor);
    Panel1->SetBounds(13, 14, 281, 263);
    Panel1->SetAnchors(kAllAnchors);
    Head = &TopLabel(*this, Panel1, "Bitte Installationsverzeichnis w\xE4hlen", 22);
    PathLabel = &TopLabel(*this, Panel1, "Pfad:", 13);
    Panel2 = &Own<TPanel>(Panel1);
    Panel2->SetHeight(24);
    Panel2->SetAlign(TAlign::alTop);
    PathEdit = &Own<TEdit>(Panel2);
    PathEdit->SetBounds(0, 0, 281, 21);
    PathEdit->SetAnchors(akLeft | akTop | akRight);
    PathEdit->OnChange = [this] { PathEditChange(); };
    DirLabel = &TopLabel(*this, Panel1, "Ordner:", 13);

    DirTree = &Own<TDirTreeWindow>(Panel1);
    DirTree->SetAlign(TAlign::alClient);
    TDirTree& tree = DirTree->Tree();
    tree.ReadOnStart = true;
    tree.SetDirTypes({TDirType::dtNormal, TDirType::dtAll});
    tree.SetGoBelowRecycleBin(true);
    tree.FastLoad = false;
    tree.SetDriveTypes({TDriveType::drtUnknown, TDriveType::drtFixed, TDriveType::drtRemote});
    tree.SetShowShareOverlay(false);
    tree.SetAcceptDropFiles(false);
    tree.InitialDirectory.clear();  // the tree starts on the current directory
    tree.OnClick = [this](TDirTree&) { DirTreeClick(); };

    // Neither button is the default or the cancel button: Enter and Esc
    // leave the dialog open. The close box answers like "Abbrechen".
    OKBut = &BottomButton(*this, "OK", 140, mrOk);
    CancelBut = &BottomButton(*this, "Abbrechen", 220, mrCancel);
    NewBut = &BottomButton(*this, "Neues Verzeichnis", 6, mrNone);
    NewBut->OnClick = [this] { NewButClick(); };
    NewBut->Hide();
    CloseModalResult = mrCancel;

    // The drive list is read and the current directory selected now, while
    // the program starts, not when the dialog is first shown.
    DirTree->Loaded();
}

bool TFolderMan::Execute() {
    PathEdit->SetText(FolderPath);
    TDirTree& tree = DirTree->Tree();
    if (IsDirectory(FolderPath)) {
        tree.SelectPath(FolderPath);
    } else {
        tree.SelectPath(GetProgramFilesDir());
        if (TDirNode* selected = tree.Selected()) tree.Expand(*selected);
    }
    Center();
    return ShowModal() == mrOk;
}

void TFolderMan::DirTreeClick() {
    FolderPath = DirTree->Tree().SelectedPath();
    PathEdit->SetText(FolderPath);
}

void TFolderMan::PathEditChange() { FolderPath = PathEdit->Text(); }

void TFolderMan::NewButClick() {
    TDirTree& tree = DirTree->Tree();
    if (TDirNode* selected = tree.Selected()) tree.Expand(*selected);
    std::string name = "New Folder";
    for (int number = 2; IsDirectory(FolderPath + name); ++number) name = "New Folder " + std::to_string(number);
    if (!CreateDirectoryA((FolderPath + name).c_str(), nullptr)) throw IoError(static_cast<int>(GetLastError()));
    tree.RemoveNode(FolderPath);
    FolderPath += name;
    tree.AddPathNodes(FolderPath);
    tree.SelectPath(FolderPath);
}

}  // namespace zub
