#include "setup/setup_form_win.h"

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/process_win.h"
#include "base/timeline.h"
#include "shell/shell.h"
#include "setup/finish_setup.h"
#include "setup/install_run.h"
#include "setup/install_system_win.h"
#include "setup/run_trace.h"
#include "setup/startup_win.h"
#include "setup/startup_unpacking_win.h"

namespace zub {
namespace {

// The design size; the skin bitmap's size replaces it once the skin is applied.
constexpr int kDesignWidth = 520;
constexpr int kDesignHeight = 440;

}  // namespace

TSetupForm::TSetupForm(TComponent* owner, TStartupUnpacking& unpacking, std::string& recordedWorkFolder,
                       KMediaList& media, const TSetupOptions& options, TRunTrace& trace)
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
        timeline::TStep step("unpacking awaited");
        data_.WorkFolder = unpacking.Take(workFolder_);
        recordedWorkFolder = workFolder_.Folder();
    }
    trace_.Line("unpacked: the payload into " + data_.WorkFolder);
    {
        timeline::TStep step("Setup.ini read");
        pageArea_ = MainPanel.Bounds();
        ReadSetupScript(data_.WorkFolder + kSetupScriptName, *this);
        // The page area moves once, with everything on it laid out once.
        MainPanel.SetBounds(pageArea_.Left, pageArea_.Top, pageArea_.Width, pageArea_.Height);
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

// The window takes the size of the panel picture (no border: that is the
// whole window), its skin and its outline, and so does each button; each
// lays its picture in and cuts its outline once, at the end.
void TSetupForm::ApplySkin() {
    Batch([this] {
        const TBitmap32& panel = Graphic().GetBitmap();
        SetBounds(Bounds().Left, Bounds().Top, panel.Width(), panel.Height());
        Center();
        Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
        SetAlphaThreshold(100);
        SetShape(TShape::shBitmapAlpha);
    });
    for (TSkinButton* button : buttons_) {
        button->Batch([button] {
            button->Graphic().SetTransparencyMode(TTransparencyMode::tmInvisibleColor);
            button->SetAlphaThreshold(100);
            button->SetEnabled(true);
            button->SetShape(TShape::shBitmapAlpha);
        });
    }
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
