// Reads the input as Setup.ini into a target that records every call, and
// checks that what arrives is consistent: file names are the work folder
// followed by the script's text.
#include "base/error.h"
#include "fuzz_util.h"
#include "formats/setup_script.h"

namespace {

class RecordingButton : public zub::ISkinButtonTarget {
public:
    void SetTop(int32_t) override { ++calls; }
    void SetLeft(int32_t) override { ++calls; }
    void SetImageNormal(const std::string& f) override { Image(f); }
    void SetImageOver(const std::string& f) override { Image(f); }
    void SetImagePressed(const std::string& f) override { Image(f); }
    void SetImageDisabled(const std::string& f) override { Image(f); }
    void SetInvisibleColor(int32_t) override { ++calls; }
    int calls = 0;

private:
    void Image(const std::string& f) {
        ++calls;
        last = f;
    }
    std::string last;
};

class RecordingForm : public zub::ISetupScriptTarget {
public:
    zub::TSetupData& SetupData() override { return data; }
    void SetPageAreaTop(int32_t) override { ++calls; }
    void SetPageAreaLeft(int32_t) override { ++calls; }
    void SetPageAreaWidth(int32_t) override { ++calls; }
    void SetPageAreaHeight(int32_t) override { ++calls; }
    void SetPanelBitmap(const std::string& f) override {
        ++calls;
        panel = f;
    }
    void SetPanelInvisibleColor(int32_t) override { ++calls; }
    zub::ISkinButtonTarget& Button(zub::TButtonKind kind) override { return buttons[static_cast<int>(kind)]; }

    zub::TSetupData data;
    RecordingButton buttons[3];
    std::string panel;
    int calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = zub::fuzz::Scratch() + "Setup.ini";
    zub::fuzz::WriteFile(path, data, size);
    RecordingForm form;
    form.data.WorkFolder = "C:\\Work\\";
    try {
        zub::ReadSetupScript(path, form);
    } catch (const zub::Error&) {
        // A malformed script is refused with a message.
    }
    if (!form.panel.empty() && form.panel.rfind(form.data.WorkFolder, 0) != 0) __builtin_trap();
    if (form.data.WorkFolder != "C:\\Work\\") __builtin_trap();
    return 0;
}
