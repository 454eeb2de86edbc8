#include "tests/e2e/test_setup_win.h"

#include <windows.h>

#include "archive/payload_builder.h"
#include "archive/payload_layout.h"
#include "archive/zlb_writer.h"
#include "base/file.h"
#include "base/strings.h"
#include "shell/shell.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/win32/skin_test_util_win.h"

namespace zub::e2e {

TTestProject::TTestProject(std::string folder) : folder_(std::move(folder)) {
    DeleteFolderTree(folder_);
    fs::ForceDirectories(folder_);
}

void TTestProject::Write(const std::string& relative, const std::string& text) const {
    WriteText(folder_ + "\\" + relative, text);
}

void TTestProject::WritePicture(const std::string& relative, const TPicture& rows) const {
    const std::string path = folder_ + "\\" + relative;
    fs::ForceDirectories(ExtractFilePath(path));
    test::WriteBmp(path, rows);
}

std::string TTestProject::WriteWizardSkin() const {
    std::string ini =
        "Object=Toolweb\r\nTop=16\r\nLeft=104\r\nWidth=393\r\nHeight=305\r\nend\r\n"
        "Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n";
    WritePicture("Graphics\\panel.bmp", test::Solid(520, 440, 0x203050));
    const char* actions[] = {"Back", "Forward", "Cancel"};
    const int lefts[] = {192, 280, 360};
    const char* states[] = {"_n", "_o", "_p", "_d"};
    const uint32_t colours[] = {0x3070C0, 0x4080E0, 0x204080, 0x808080};
    for (int i = 0; i < 3; ++i) {
        const std::string b = std::string("Graphics\\") + actions[i];
        ini += std::string("Object=Button\r\nName=b\r\nAction=") + actions[i] + "\r\nTop=368\r\nLeft=" +
               std::to_string(lefts[i]) + "\r\nMask=" + b + "_n.bmp\r\nTouched=" + b + "_o.bmp\r\nPressed=" + b +
               "_p.bmp\r\nDisabled=" + b + "_d.bmp\r\nInvisibleColor=16711935\r\nend\r\n";
        for (int s = 0; s < 4; ++s) WritePicture(b + states[s] + ".bmp", test::Solid(73, 57, colours[s]));
    }
    return ini;
}

TBytes TTestProject::Payload() const {
    const std::string out = folder_ + kNestedArchiveExt;
    BuildPayload(folder_, out);
    return fs::ReadWholeFile(out);
}

TBytes PayloadOf(const std::vector<std::pair<std::string, std::string>>& entries, const std::string& scratch) {
    TZLBWriter writer;
    for (const auto& [name, text] : entries) writer.AddBuffer(name, {text.begin(), text.end()});
    writer.Save(scratch);
    return fs::ReadWholeFile(scratch);
}

std::string MakeSetup(const std::string& stub, const std::string& exe, const TBytes& payload) {
    MakeSetupFromStub(stub, exe, payload);
    return exe;
}

std::string MakeProjectSetup(const std::string& project, const std::string& uninstaller, const std::string& stub,
                             const std::string& folder, const std::string& exe, const TIniEdit& edit,
                             const std::function<void(const std::string&)>& addFiles) {
    const std::string copy = folder + "\\project";
    CopyTree(project, copy);
    CopyFileA(uninstaller.c_str(), (copy + "\\" + kUninstallerName).c_str(), FALSE);
    const std::string ini = copy + "\\" + kSetupScriptName;
    WriteText(ini, edit(ReadText(ini)));
    if (addFiles) addFiles(copy);
    const std::string payload = folder + "\\payload" + kNestedArchiveExt;
    BuildPayload(copy, payload);
    return MakeSetup(stub, exe, fs::ReadWholeFile(payload));
}

std::string InsertAfter(std::string text, const std::string& anchor, const std::string& inserted) {
    const size_t at = text.find(anchor);
    return at == std::string::npos ? text : text.insert(at + anchor.size(), inserted);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace zub::e2e
