// Program entry of the setup: no command line; the only input is the
// program's own executable, whose payload the wizard form unpacks.
#include <windows.h>

#include <exception>
#include <memory>

#include "base/file.h"
#include "base/timeline.h"
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

// The start-up timeline, if one is asked for, is written as the program ends.
struct TTimelineFile {
    TTimelineFile() { zub::timeline::Mark("main"); }
    ~TTimelineFile() { zub::timeline::Write(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TTimelineFile timelineFile;
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
        zub::timeline::Begin("window and controls");
        setupForm = std::make_unique<zub::TSetupForm>(nullptr, cleanup.Folder(), mediaList);
    } catch (const std::exception& e) {
        // The partly built form is gone already, and with it the work folder.
        zub::ShowException(nullptr, e.what());
        return 1;
    }
    // The dialogs are made once the wizard shows, before its first message:
    // nobody can ask for them earlier, and the wizard shows that much sooner.
    std::unique_ptr<zub::TFolderMan> folderMan;
    std::unique_ptr<zub::TConfirmationForm> confirmationForm;
    return application.Run(*setupForm, [&] {
        zub::timeline::TStep step("dialogs made");
        folderMan = std::make_unique<zub::TFolderMan>(nullptr);
        confirmationForm = std::make_unique<zub::TConfirmationForm>(nullptr);
        setupForm->SetDialogs(*folderMan, *confirmationForm);
    });
}
