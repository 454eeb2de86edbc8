// Program entry of the setup: the command line decides between the wizard
// and a silent run; the payload is unpacked by either at start-up.
#include <windows.h>

#include <exception>
#include <memory>
#include <optional>

#include "base/file.h"
#include "base/process_win.h"
#include "base/strings.h"
#include "base/timeline.h"
#include "dialogs/folder_man_win.h"
#include "shell/shell.h"
#include "setup/command_line.h"
#include "setup/confirmation_form_win.h"
#include "setup/run_trace.h"
#include "setup/setup_form_win.h"
#include "setup/startup_unpacking_win.h"
#include "setup/startup_win.h"
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

void ShowUsage(const std::string& why) {
    const std::string text = why.empty() ? zub::UsageText() : why + "\n\n" + zub::UsageText();
    MessageBoxA(nullptr, text.c_str(), "Setup", MB_OK | (why.empty() ? MB_ICONINFORMATION : MB_ICONERROR));
}

int RunWizard(const zub::TSetupOptions& options, zub::TRunTrace& trace) {
    // COM serves the shell links and the folder dialog, both after the wizard
    // shows, and starts then; it ends after every form is gone.
    std::optional<zub::TOleSession> ole;
    TFinalCleanup cleanup;
    // The work folder and the payload are made on a thread of their own from
    // here on, while the window system starts (the first call into it, which
    // under Wine takes tens of milliseconds, comes after this) and the wizard
    // is made.
    zub::TStartupUnpacking unpacking;
    zub::TApplication application;
    // The image cache with its placeholder and purge timer lives from program
    // start to program end, longer than every form that takes pictures from it.
    zub::KMediaList mediaList;
    zub::TMediaPurgeTimer purgeTimer(mediaList);

    std::unique_ptr<zub::TSetupForm> setupForm;
    try {
        zub::timeline::Begin("window and controls");
        setupForm = std::make_unique<zub::TSetupForm>(nullptr, unpacking, cleanup.Folder(), mediaList, options, trace);
    } catch (const std::exception& e) {
        // The partly built form is gone already, and with it the work folder,
        // unless the form failed before it took the folder over.
        unpacking.Abandon();
        trace.Error(e.what());
        zub::ShowException(nullptr, e.what());
        return zub::kExitCouldNotStart;
    }
    // The other pages and the dialogs are made once the wizard shows, before
    // its first message: nobody can reach them earlier, and the wizard shows
    // that much sooner.
    std::unique_ptr<zub::TFolderMan> folderMan;
    std::unique_ptr<zub::TConfirmationForm> confirmationForm;
    try {
        application.Run(*setupForm, [&] {
            ole.emplace();
            setupForm->MakeOtherPages();
            zub::timeline::TStep step("dialogs made");
            folderMan = std::make_unique<zub::TFolderMan>(nullptr);
            confirmationForm = std::make_unique<zub::TConfirmationForm>(nullptr);
            setupForm->SetDialogs(*folderMan, *confirmationForm);
        });
    } catch (const std::exception& e) {
        // The wizard goes with its work folder before the error box shows,
        // so that nothing reaches a wizard only partly made.
        setupForm.reset();
        trace.Error(e.what());
        zub::ShowException(nullptr, e.what());
        return zub::kExitCouldNotStart;
    }
    return setupForm->ExitCode();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TTimelineFile timelineFile;
    zub::HardenDllSearch();
    const zub::TSetupOptions options = zub::ParseSetupCommandLine(GetCommandLineA());
    zub::TRunTrace trace;
    try {
        if (!options.LogFile.empty()) trace.Open(options.LogFile);
    } catch (const std::exception& e) {
        if (!options.Silent) ShowUsage(e.what());
        return zub::kExitBadCommandLine;
    }
    if (options.Usage) {
        if (!options.Error.empty()) trace.Error(options.Error);
        if (!options.Silent) ShowUsage(options.Error);
        return zub::kExitBadCommandLine;
    }

    int code = zub::kExitFailed;
    if (options.Silent) {
        zub::TOleSession ole;
        TFinalCleanup cleanup;
        code = zub::RunSilentSetup(options, trace, cleanup.Folder());
    } else {
        code = RunWizard(options, trace);
    }
    trace.Line(zub::Format("exit code %d", code));
    return code;
}
