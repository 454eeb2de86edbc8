#include "setup/setup_form_win.h"

#include "archive/payload_layout.h"
#include "archive/payload.h"
#include "base/file.h"
#include "base/process_win.h"
#include "base/timeline.h"
#include "shell/shell.h"
#include "setup/finish_setup.h"
#include "setup/install_run.h"
#include "setup/install_system_win.h"
#include "setup/run_trace.h"
#include "setup/startup_win.h"
#include "setup/unpack_progress_win.h"

namespace zub {
namespace {

// The design size; the skin bitmap's size replaces it once the skin is applied.
constexpr int kDesignWidth = 520;
constexpr int kDesignHeight = 440;

}  // namespace

TSetupForm::TSetupForm(TComponent* owner, std::string& recordedWorkFolder, KMediaList& media,
                       const TSetupOptions& options, TRunTrace& trace)
    : TZubForm(owner, "TSetupForm", "SetupForm", WS_POPUP | WS_CLIPCHILDREN, kDesignWidth, kDesignHeight, media),
      Backbutton(MakeButton("Backbutton", 192, 368, media)),
      Forwardbutton(MakeButton("Forwardbutton", 280, 368, media)),
      Cancelbutton(MakeButton("Cancelbutton", 360, 368, media)),
      MainPanel(BuildPageArea()),
      options_(options),
      trace_(trace),
      buttons_{&Backbutton, &Forwardbutton, &Cancelbutton} {
    Backbutton.OnClick = [this] { BackbuttonClick(); };
    Forwardbutton.OnClick = [this] { ForwardbuttonClick(); };
    Cancelbutton.OnClick = [this] { CancelButtonClick(); };
    timeline::End("window and controls");

    {
        timeline::TStep step("work folder");
        data_.WorkFolder = OpenWorkFolder(workFolder_);
        recordedWorkFolder = workFolder_.Folder();
    }
    UnpackPayload();
    {
        timeline::TStep step("Setup.ini read");
        ReadSetupScript(data_.WorkFolder + kSetupScriptName, *this);
    }
    {
        timeline::TStep step("settings applied");
        ApplySettings();
    }
    {
        timeline::TStep step("skin applied");
        ApplySkin();
    }
    timeline::TStep step("first page");
    ShowPage(pgWelcome);
}

TSetupForm::~TSetupForm() = default;

TSkinButton& TSetupForm::MakeButton(const char* name, int left, int top, KMediaList& media) {
    TSkinButton& button = Own<TSkinButton>(Handle(), media);
    button.Name = name;
    button.SetBounds(left, top, 73, 57);
    return button;
}

// The window takes the size of the panel picture first (no border: that is
// the whole window), so that its outline is cut at that size only; then the
// window and its buttons take their skin and outline.
void TSetupForm::ApplySkin() {
    const TBitmap32& panel = Graphic().GetBitmap();
    SetWidth(panel.Width());
    SetHeight(panel.Height());
    Center();
    Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
    SetAlphaThreshold(100);
    SetShape(TShape::shBitmapAlpha);
    for (TSkinButton* button : buttons_) {
        button->Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
        button->SetAlphaThreshold(100);
        button->SetEnabled(true);
        button->SetShape(TShape::shBitmapAlpha);
    }
}

// A large payload shows a progress window while it unpacks; the window goes
// before Setup.ini is read, and before the error box of a failure.
void TSetupForm::UnpackPayload() {
    timeline::TStep step("unpacking");
    TUnpackProgressWindow progress;
    zub::UnpackPayload(Archiver, TPayloadResource::OfRunningImage(), data_.WorkFolder, &progress.Tracker());
    trace_.Line("unpacked: the payload into " + data_.WorkFolder);
}

LRESULT TSetupForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (installing_) return 0;
        try {
            // Only the completion page has work to do before the window closes.
            if (data_.CurrentPage == pgFinish && !pages_.CloseRequested()) return 0;
        } catch (const std::exception& e) {
            // The completion page stays, with Forward and Cancel.
            ShowException(Handle(), e.what());
            return 0;
        }
    }
    return TZubForm::WndProc(message, wParam, lParam);
}

// The page machine's last step then only touches the hidden window.
void TSetupForm::EndFailed(const std::exception& error) {
    trace_.Error(error.what());
    const auto* aborted = dynamic_cast<const TInstallAborted*>(&error);
    exitCode_ = aborted && aborted->Incomplete ? kExitNotUndone : kExitFailed;
    ShowException(Handle(), error.what());
    ShowWindow(Handle(), SW_HIDE);
    PostQuitMessage(exitCode_);
}

bool TSetupForm::InstallFiles() {
    installing_ = true;
    struct TDone {
        bool& flag;
        ~TDone() { flag = false; }
    } done{installing_};
    TWin32InstallSystem machine(Handle());
    TTracingInstallSystem system(machine, trace_);
    TCopyPageWin page(Handle(), Copymessage(), CopyProgress(), data_.RazederodezTitle);
    trace_.Line("destination: " + data_.Destination);
    try {
        TInstallRun(data_, logBook_, system, page, journal_).InstallFiles();
        return true;
    } catch (const std::exception& e) {
        // The run has taken back what it made. The user is told why, and the
        // setup ends with a failure code; the work folder goes with the form.
        EndFailed(e);
        return false;
    }
}

// An error (setup.log, the uninstall entry) leaves the completion page up,
// shown by the framework; Forward tries again, Cancel undoes the installation.
void TSetupForm::FinishSetup(bool options) {
    TWin32InstallSystem machine(Handle());
    TTracingInstallSystem system(machine, trace_);
    TFinishChoices choices;
    if (options) choices = {DesktopCheck().Checked(), ReadMeCheck().Checked(), LaunchProgCheck().Checked()};
    try {
        zub::FinishSetup(data_, logBook_, choices, system, journal_);
    } catch (const std::exception& e) {
        trace_.Error(e.what());
        throw;
    }
    trace_.Line("wrote: " + logBook_.LogFileName);
    trace_.Line("installed");
    exitCode_ = kExitInstalled;
}

void TSetupForm::AbandonInstallation() {
    TWin32InstallSystem machine(Handle());
    TTracingInstallSystem system(machine, trace_);
    EndFailed(UndoInstallation(journal_, logBook_, system, data_.Language, ""));
}

}  // namespace zub
