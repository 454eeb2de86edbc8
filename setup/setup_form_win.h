// The wizard form. Its construction is the start-up of the setup: work folder,
// payload, Setup.ini; its destruction removes the work folder again.
#pragma once

#include <array>
#include <string>

#include "archive/zlb_archive.h"
#include "setup/log_book.h"
#include "setup/setup_data.h"
#include "setup/setup_script.h"
#include "setup/work_folder.h"
#include "skin/zub_form_win.h"
#include "skin/zub_frame_win.h"

namespace zub {

// One of the wizard's image buttons, dressed by a Button block of Setup.ini.
class TSkinButton : public TZubButton, public ISkinButtonTarget {
public:
    using TZubButton::TZubButton;

    void SetTop(int32_t v) override { SetBounds(Bounds().Left, v, Bounds().Width, Bounds().Height); }
    void SetLeft(int32_t v) override { SetBounds(v, Bounds().Top, Bounds().Width, Bounds().Height); }
    void SetImageNormal(const std::string& f) override { ImageNormal = f; }
    void SetImageOver(const std::string& f) override { ImageOver = f; }
    void SetImagePressed(const std::string& f) override { ImagePressed = f; }
    void SetImageDisabled(const std::string& f) override { ImageDisabled = f; }
    void SetInvisibleColor(int32_t c) override { Graphic().SetInvisibleColor(c); }
};

class TSetupForm : public TZubForm, public ISetupScriptTarget {
public:
    // recordedWorkFolder receives the work folder's path for the program's
    // final clean-up as soon as the folder exists; media is the program's
    // image cache, which outlives the form.
    TSetupForm(TComponent* owner, std::string& recordedWorkFolder, KMediaList& media);
    ~TSetupForm() override;

    // ISetupScriptTarget
    TSetupData& SetupData() override { return data_; }
    void SetPageAreaTop(int32_t v) override { mainPanel_.Top = v; }
    void SetPageAreaLeft(int32_t v) override { mainPanel_.Left = v; }
    void SetPageAreaWidth(int32_t v) override { mainPanel_.Width = v; }
    void SetPageAreaHeight(int32_t v) override { mainPanel_.Height = v; }
    void SetPanelBitmap(const std::string& fileName) override { Graphic().SetFileName(fileName); }
    void SetPanelInvisibleColor(int32_t color) override { Graphic().SetInvisibleColor(color); }
    ISkinButtonTarget& Button(TButtonKind kind) override { return *buttons_[static_cast<size_t>(kind)]; }

    TZLBArchive Archiver;
    // The record of everything installed; the finishing actions write it.
    TSetupLogBook& LogBook() { return logBook_; }
    TSkinButton& Backbutton;
    TSkinButton& Forwardbutton;
    TSkinButton& Cancelbutton;

private:
    TSkinButton& MakeButton(const char* name, int left, int top, KMediaList& media);
    void UnpackPayload();
    void ApplySkin();

    // Declared first so that it goes last: the folder is removed after the
    // setup data is freed and before the window is destroyed.
    TWorkFolderGuard workFolder_;
    TSetupData data_;
    TSetupLogBook logBook_;
    TBounds mainPanel_{104, 16, 393, 305};
    std::array<TSkinButton*, 3> buttons_;
};

}  // namespace zub
