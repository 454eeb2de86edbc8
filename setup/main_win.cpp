// Program entry of the setup: no command line; the only input is the
// program's own executable, whose payload the wizard form unpacks.
#include <windows.h>

#include <exception>
#include <memory>

#include "base/file.h"
#include "folders/folder_man_win.h"
#include "folders/shell.h"
#include "setup/confirmation_form_win.h"
#include "setup/dll_search_win.h"
#include "setup/setup_form_win.h"
#include "skin/media_list.h"
#include "skin/media_timer_win.h"
#include "ui/application_win.h"

namespace {

// At program end the work folder goes once more, should it still be there.
class TFinalCleanup {
public:
    ~TFinalCleanup() {
        if (folder_.empty() || !zub::fs::DirectoryExists(folder_)) return;
        try {
            zub::DeleteFolderTree(folder_);
        } catch (const std::exception& e) {
            OutputDebugStringA(e.what());  // the program is ending; nobody to ask
        }
    }
    std::string& Folder() { return folder_; }

private:
    std::string folder_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    zub::HardenDllSearch();
    zub::TOleSession ole;
    TFinalCleanup cleanup;
    zub::TApplication application;
    // The image cache with its placeholder and purge timer lives from program
    // start to program end, longer than every form that takes pictures from it.
    zub::KMediaList mediaList;
    zub::TMediaPurgeTimer purgeTimer(mediaList);

    std::unique_ptr<zub::TSetupForm> setupForm;
    try {
        setupForm = std::make_unique<zub::TSetupForm>(nullptr, cleanup.Folder(), mediaList);
    } catch (const std::exception& e) {
        // The partly built form is gone already, and with it the work folder.
        zub::ShowException(nullptr, e.what());
        return 1;
    }
    zub::TFolderMan folderMan(nullptr);
    zub::TConfirmationForm confirmationForm(nullptr);
    setupForm->SetDialogs(folderMan, confirmationForm);
    return application.Run(*setupForm);
}
