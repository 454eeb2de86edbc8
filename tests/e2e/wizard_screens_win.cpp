// wizard_screens SETUP.EXE OUTDIR PREFIX: starts a setup, walks its wizard
// page by page and saves a picture of the window on each page (and of the
// folder dialog and the cancel question) as OUTDIR\PREFIX-N-page.bmp. The
// copying page passes by while the installation runs, so it is photographed
// by showing its hidden panel in place of the program-folder page for a moment.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/file.h"
#include "shell/shell.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/screen_shot_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

class TShooter {
public:
    TShooter(TWizard& wizard, std::string outPrefix) : wizard_(wizard), prefix_(std::move(outPrefix)) {}

    // A picture of `window` (the wizard when null) once it has painted.
    bool Shoot(const char* page, HWND window = nullptr) {
        if (!window) window = wizard_.Form();
        const std::string path = prefix_ + "-" + std::to_string(++count_) + "-" + page + ".bmp";
        std::printf("wizard_screens: %s\n", path.c_str());
        return SaveScreen(ScreenRect(window), path, window);
    }

private:
    TWizard& wizard_;
    std::string prefix_;
    int count_ = 0;
};

// The folder dialog that the destination page's push button (Browse) opens,
// closed again with its "Abbrechen" (German in either language).
void ShootFolderDialog(TSetupProcess& setup, HWND form, TShooter& shoot) {
    for (const TControl& c : Controls(form, true))
        if (c.Class == "Button" && (GetWindowLongA(c.Window, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON)
            PostMessageA(c.Window, BM_CLICK, 0, 0);
    HWND dialog = setup.WaitForWindow("TFolderMan", 10000);
    if (!dialog) return;
    shoot.Shoot("folder-dialog", dialog);
    PostMessageA(FindVisible(dialog, "Button", "Abbrechen"), BM_CLICK, 0, 0);
    setup.WaitWindowsGone("TFolderMan");
}

int Run(const std::string& setupExe, const std::string& outPrefix) {
    TTestFolder folder;
    TSetupProcess setup(setupExe, folder.Temp());
    auto wizard = StartWizard(setup);
    if (!wizard) return 1;
    const HWND form = wizard->Form();
    TShooter shoot(*wizard, outPrefix);
    HWND list = nullptr;
    const bool walked = wizard->WalkToTheFolderPage([&](const char* page) {
        if (std::string(page) == "folder") {  // with an existing folder chosen
            list = FindVisible(form, "ListBox");
            if (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0) wizard->ClickItem(list, 0);
        }
        shoot.Shoot(page);
        if (std::string(page) == "destination") ShootFolderDialog(setup, form, shoot);
    });
    if (!walked) return 1;
    // The copying page, shown in place of this one for its picture.
    wizard->ShowCopyPageInsteadOf(wizard->PageOf(list), [&] { shoot.Shoot("copying"); });

    wizard->Click(wizard->Cancel());
    HWND dialog = setup.WaitForWindow("TConfirmationForm", 10000);
    if (!dialog) return 1;
    shoot.Shoot("cancel-question", dialog);
    Close(dialog);
    setup.WaitWindowsGone("TConfirmationForm");

    if (!wizard->Next()) return 1;
    shoot.Shoot("completion");
    Close(form);
    setup.WaitForExit();
    return 0;
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    using namespace zub::e2e;
    return ToolMain(argc, argv, "wizard_screens SETUP.EXE OUTDIR PREFIX", [](const std::vector<std::string>& a) {
        return Run(a[0], a[1] + "\\" + a[2]);
    });
}
