// demo_walk SETUP.EXE OUTDIR: the demo without a person. Starts the setup,
// clicks through every page to the end with a picture of each page as
// OUTDIR\demo-N-page.bmp, shows what was installed (files, shortcuts,
// setup.log, the uninstall entry), photographs the started read-me viewer and
// program, and removes the installation again with its own uninstaller.
// Exit code 0 when all went.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/strings.h"
#include "formats/log_book.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/screen_shot_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

class TWalk {
public:
    explicit TWalk(std::string outDir) : out_(std::move(outDir)) {}

    // A picture of `window` (null: the whole screen) once it has painted.
    void Shoot(const char* page, HWND window) {
        const std::string path = out_ + "\\demo-" + std::to_string(++count_) + "-" + page + ".bmp";
        if (SaveScreen(window ? ScreenRect(window) : FullScreen(), path, window))
            std::printf("demo: picture %s\n", path.c_str());
    }

private:
    std::string out_;
    int count_ = 0;
};

void ShowTree(const std::string& folder, const std::string& indent) {
    for (const fs::DirEntry& e : fs::ListDirectory(folder)) {
        if (e.isDirectory) {
            std::printf("%s%s\\\n", indent.c_str(), e.name.c_str());
            ShowTree(folder + "\\" + e.name, indent + "  ");
        } else {
            std::printf("%s%s (%lld bytes)\n", indent.c_str(), e.name.c_str(),
                        static_cast<long long>(fs::File::OpenRead(folder + "\\" + e.name).Size()));
        }
    }
}

// Where the setup put things: read from its own setup.log.
struct TInstalled {
    std::string Title;
    std::vector<std::string> Links;
};

TInstalled ReadLog(const std::string& logFile) {
    TInstalled installed;
    const std::string text = ReadText(logFile);
    std::printf("demo: %s holds\n", logFile.c_str());
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 2;
        std::printf("  %s\n", line.c_str());
        if (StartsWith(line, "LINK=")) installed.Links.push_back(line.substr(5));
        if (StartsWith(line, "KEY=")) installed.Title = line.substr(4);
    }
    return installed;
}

// The program-files folder that holds a setup.log; "" when none does.
std::string InstalledDestination() {
    const std::string programFiles = GetProgramFilesDir();
    for (const fs::DirEntry& e : fs::ListDirectory(CollapseBackslashes(programFiles)))
        if (fs::FileExists(programFiles + e.name + "\\" + kSetupLogName)) return programFiles + e.name;
    return std::string();
}

int Run(const std::string& setupExe, const std::string& outDir) {
    TSetupProcess setup(setupExe, GetTempDir());
    auto wizard = StartWizard(setup);
    if (!wizard) return 1;
    const HWND form = wizard->Form();
    TWalk walk(outDir);
    if (!wizard->WalkToTheFolderPage([&](const char* page) { walk.Shoot(page, form); }, 60000)) return 1;
    std::printf("demo: Forward on the program-folder page copies the files\n");
    if (!wizard->Next(60000)) return 1;
    // The copying page passed by: its picture is taken now, in place of the completion page.
    HWND finishPage = wizard->Options().empty() ? nullptr : wizard->PageOf(wizard->Options().front().Window);
    wizard->ShowCopyPageInsteadOf(finishPage, [&] { walk.Shoot("copying", form); });
    walk.Shoot("completion", form);
    wizard->Click(wizard->Forward());
    if (!setup.WaitForExit(30000)) return 1;
    std::printf("demo: the setup ended with exit code %lu\n", setup.ExitCode());

    WaitFor([] { return !TopWindows("SkinSetupDemoApp").empty() && !TopWindows("Notepad").empty(); }, 20000);
    walk.Shoot("started", nullptr);

    const std::string destination = InstalledDestination();
    if (destination.empty()) return 1;
    const TInstalled installed = ReadLog(destination + "\\" + kSetupLogName);
    const TInstallation installation(installed.Title, destination);
    std::printf("demo: installed into %s\n", destination.c_str());
    ShowTree(destination, "  ");
    for (const std::string& link : installed.Links) {
        test::TLinkContent info = test::ReadLink(link);
        std::printf("demo: shortcut %s\n  target %s\n  arguments %s\n  folder %s\n  description %s\n", link.c_str(),
                    info.target.c_str(), info.arguments.c_str(), info.workingFolder.c_str(),
                    info.description.c_str());
    }
    std::printf("demo: uninstall entry HKEY_LOCAL_MACHINE\\%s\n", installation.Key.c_str());
    for (const char* name : {"DisplayName", "UninstallString"})
        std::printf("  %s = %s\n", name, installation.EntryText(name).c_str());

    // Remove it again with its own uninstaller, as the list of installed
    // programs would start it, without questions (/S). The program runs in
    // the destination folder: it ends first.
    for (const char* windowClass : {"SkinSetupDemoApp", "Notepad"}) CloseTopWindows(windowClass);
    std::printf("demo: running %s /S\n", installation.EntryText("UninstallString").c_str());
    const DWORD code = installation.RunEntry("UninstallString", " /S");
    std::printf("demo: the uninstaller ended with exit code %lu\n", code);
    // The uninstaller's own file and its folder go last, after it has ended.
    WaitFor([&] { return !fs::PathExists(destination); }, 10000);
    bool gone = !fs::PathExists(destination) && !installation.EntryExists();
    for (const std::string& link : installed.Links) gone = gone && !fs::PathExists(link);
    std::printf("demo: %s\n", gone ? "the installation is removed again" : "some of the installation is left");
    return gone && setup.ExitCode() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    using namespace zub::e2e;
    return ToolMain(argc, argv, "demo_walk SETUP.EXE OUTDIR", [](const std::vector<std::string>& a) { return Run(a[0], a[1]); });
}
