// wizard_screens SETUP.EXE OUTDIR PREFIX: starts a setup, walks its wizard
// page by page and saves a picture of the window on each page (and of the
// cancel question) as OUTDIR\PREFIX-N-page.bmp. The copying page passes by
// while the installation runs, so it is photographed by showing its hidden
// panel in place of the program-folder page for a moment.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/file.h"
#include "shell/shell.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/screen_shot_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

class TShooter {
public:
    TShooter(TWizard& wizard, std::string outPrefix) : wizard_(wizard), prefix_(std::move(outPrefix)) {}

    bool Shoot(const char* page, HWND window = nullptr) {
        // Let the window paint what it was just told to show.
        RedrawWindow(window ? window : wizard_.Form(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN |
                                                                        RDW_UPDATENOW);
        Sleep(300);  // a picture for people, not a test: the other process paints meanwhile
        const std::string path = prefix_ + "-" + std::to_string(++count_) + "-" + page + ".bmp";
        std::printf("wizard_screens: %s\n", path.c_str());
        return SaveScreen(ScreenRect(window ? window : wizard_.Form()), path);
    }
    // Clicks Forward and waits until another page shows.
    bool Next() {
        const std::string before = wizard_.VisibleTexts().front();
        wizard_.Click(wizard_.Forward());
        return WaitFor([&] { return wizard_.VisibleTexts().front() != before; }, 10000);
    }

private:
    TWizard& wizard_;
    std::string prefix_;
    int count_ = 0;
};

// The page panel that holds `control`: form, MainPanel, TextBox, page.
HWND PageOf(HWND control, HWND form) {
    for (HWND p = control; p; p = GetParent(p)) {
        HWND textBox = GetParent(p);
        HWND mainPanel = textBox ? GetParent(textBox) : nullptr;
        if (mainPanel && GetParent(mainPanel) == form) return p;
    }
    return nullptr;
}

int Run(const std::string& setupExe, const std::string& outPrefix) {
    const std::string temp = GetTempDir() + "zubscreens" + std::to_string(GetCurrentProcessId()) + "\\";
    fs::ForceDirectories(temp);
    TSetupProcess setup(setupExe, temp);
    HWND form = setup.WaitForWindow("TSetupForm");
    if (!form) return 1;
    TWizard wizard(setup, form);
    if (!wizard.Found() || !WaitFor([&] { return !wizard.VisibleTexts().empty(); })) return 1;
    TShooter shoot(wizard, outPrefix);
    shoot.Shoot("welcome");
    if (!shoot.Next()) return 1;
    if (FindVisible(form, "Edit")) {  // the licence page, with the consent given
        if (HWND check = FindVisible(form, "Button")) wizard.Toggle(check);
        shoot.Shoot("licence");
        if (!shoot.Next()) return 1;
    }
    shoot.Shoot("destination");
    if (!shoot.Next()) return 1;
    if (HWND list = FindVisible(form, "ListBox"); list && SendMessageA(list, LB_GETCOUNT, 0, 0) > 0)
        wizard.ClickItem(list, 0);
    shoot.Shoot("folder");

    // The copying page, shown in place of this one for its picture.
    HWND folderPage = PageOf(FindVisible(form, "ListBox"), form);
    HWND copyPage = nullptr;
    for (const TControl& c : Controls(form, false))
        if (c.Class == "msctls_progress32") copyPage = PageOf(c.Window, form);
    if (copyPage && folderPage) {
        ShowWindow(copyPage, SW_SHOWNA);
        ShowWindow(folderPage, SW_HIDE);
        shoot.Shoot("copying");
        ShowWindow(folderPage, SW_SHOWNA);
        ShowWindow(copyPage, SW_HIDE);
    }

    wizard.Click(wizard.Cancel());
    HWND dialog = setup.WaitForWindow("TConfirmationForm", 10000);
    if (!dialog) return 1;
    shoot.Shoot("cancel-question", dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    WaitFor([&] { return setup.Windows("TConfirmationForm").empty(); });

    if (!shoot.Next()) return 1;
    shoot.Shoot("completion");
    PostMessageA(form, WM_CLOSE, 0, 0);
    setup.WaitForExit();
    DeleteFolderTree(temp);
    return 0;
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: wizard_screens SETUP.EXE OUTDIR PREFIX\n");
        return 2;
    }
    using namespace zub::e2e;
    return Run(WindowsPathOf(argv[1]), WindowsPathOf(argv[2]) + "\\" + argv[3]);
}
