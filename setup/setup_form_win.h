// The wizard form. Its construction is the start-up of the setup: work folder,
// payload, Setup.ini; its destruction removes the work folder again.
#pragma once

#include <array>
#include <string>

#include "archive/zlb_archive.h"
#include "setup/setup_data.h"
#include "setup/setup_script.h"
#include "setup/work_folder.h"
#include "ui/form_win.h"

namespace zub {

// What a Button block gives one image button, kept until the skinned
// buttons take it over.
struct TButtonSettings : ISkinButtonTarget {
    int32_t Top = 0, Left = 0;
    std::string ImageNormal, ImageOver, ImagePressed, ImageDisabled;
    int32_t InvisibleColor = 0;

    void SetTop(int32_t v) override { Top = v; }
    void SetLeft(int32_t v) override { Left = v; }
    void SetImageNormal(const std::string& f) override { ImageNormal = f; }
    void SetImageOver(const std::string& f) override { ImageOver = f; }
    void SetImagePressed(const std::string& f) override { ImagePressed = f; }
    void SetImageDisabled(const std::string& f) override { ImageDisabled = f; }
    void SetInvisibleColor(int32_t c) override { InvisibleColor = c; }
};

class TSetupForm : public TForm, public ISetupScriptTarget {
public:
    // recordedWorkFolder receives the work folder's path for the program's
    // final clean-up as soon as the folder exists.
    TSetupForm(TComponent* owner, std::string& recordedWorkFolder);
    ~TSetupForm() override;

    // ISetupScriptTarget
    TSetupData& SetupData() override { return data_; }
    void SetPageAreaTop(int32_t v) override { mainPanel_.Top = v; }
    void SetPageAreaLeft(int32_t v) override { mainPanel_.Left = v; }
    void SetPageAreaWidth(int32_t v) override { mainPanel_.Width = v; }
    void SetPageAreaHeight(int32_t v) override { mainPanel_.Height = v; }
    void SetPanelBitmap(const std::string& fileName) override { panelBitmap_ = fileName; }
    void SetPanelInvisibleColor(int32_t color) override { panelInvisibleColor_ = color; }
    ISkinButtonTarget& Button(TButtonKind kind) override { return buttons_[static_cast<size_t>(kind)]; }

    TZLBArchive Archiver;

private:
    void UnpackPayload();

    // Declared first so that it goes last: the folder is removed after the
    // setup data is freed and before the window is destroyed.
    TWorkFolderGuard workFolder_;
    TSetupData data_;
    TBounds mainPanel_{104, 16, 393, 305};
    std::string panelBitmap_;
    int32_t panelInvisibleColor_ = 0;
    std::array<TButtonSettings, 3> buttons_;
};

}  // namespace zub
