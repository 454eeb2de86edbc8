#include "setup/setup_form_win.h"

#include "archive/payload.h"
#include "base/file.h"
#include "folders/shell.h"

namespace zub {
namespace {

// The design size; the skin bitmap's size replaces it once the skin is applied.
constexpr int kDesignWidth = 520;
constexpr int kDesignHeight = 440;

std::string OwnExecutablePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

}  // namespace

TSetupForm::TSetupForm(TComponent* owner, std::string& recordedWorkFolder)
    : TForm(owner, "TSetupForm", "SetupForm", WS_POPUP | WS_CLIPCHILDREN, kDesignWidth, kDesignHeight) {
    std::string folder = MakeWorkFolder(GetTempDir());
    recordedWorkFolder = folder;
    workFolder_.Set(folder);
    data_.WorkFolder = folder + "\\";
    for (const char* sub : {"Graphics", "Sounds", "Additional"}) fs::ForceDirectories(data_.WorkFolder + sub);

    UnpackPayload();
    ReadSetupScript(data_.WorkFolder + "Setup.ini", *this);
}

TSetupForm::~TSetupForm() = default;

void TSetupForm::UnpackPayload() { zub::UnpackPayload(Archiver, OwnExecutablePath(), data_.WorkFolder); }

}  // namespace zub
