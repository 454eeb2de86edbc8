// demo_walk SETUP.EXE OUTDIR: the demo without a person. Starts the setup,
// clicks through every page to the end with a picture of each page as
// OUTDIR\demo-N-page.bmp, shows what was installed (files, shortcuts,
// setup.log, the uninstall entry), photographs the started read-me viewer and
// program, and removes the installation again with its own uninstaller.
// Exit code 0 when all went.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/strings.h"
#include "shell/registry_win.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "formats/log_book.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/screen_shot_win.h"
#include "tests/e2e/wizard_driver_win.h"
#include "tests/win32/link_reader_win.h"

namespace zub::e2e {
namespace {

class TWalk {
public:
    TWalk(TWizard& wizard, std::string outDir) : wizard_(wizard), out_(std::move(outDir)) {}

    void Shoot(const char* page, HWND window) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);  // a picture for people: the setup paints meanwhile
        const std::string path = out_ + "\\demo-" + std::to_string(++count_) + "-" + page + ".bmp";
        if (SaveScreen(window ? ScreenRect(window) : FullScreen(), path)) std::printf("demo: picture %s\n", path.c_str());
    }
    bool Next() {
        const std::string before = wizard_.VisibleTexts().front();
        wizard_.Click(wizard_.Forward());
        return WaitFor([&] { return wizard_.VisibleTexts().front() != before; }, 60000);
    }
    static RECT FullScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

private:
    TWizard& wizard_;
    std::string out_;
    int count_ = 0;
};

// The page panel that holds `control`: form, MainPanel, TextBox, page.
HWND PageOf(HWND control, HWND form) {
    for (HWND p = control; p; p = GetParent(p)) {
        HWND textBox = GetParent(p);
        HWND mainPanel = textBox ? GetParent(textBox) : nullptr;
        if (mainPanel && GetParent(mainPanel) == form) return p;
    }
    return nullptr;
}

// The copying page passes by in a moment: its picture is taken afterwards,
// with its panel shown in place of the completion page for a moment.
void ShootCopyPage(TWalk& walk, HWND form) {
    HWND copyPage = nullptr, finishPage = nullptr;
    for (const TControl& c : Controls(form, false)) {
        if (c.Class == "msctls_progress32") copyPage = PageOf(c.Window, form);
        if (c.Class == "Button" && IsWindowVisible(c.Window)) finishPage = PageOf(c.Window, form);
    }
    if (!copyPage || !finishPage) return;
    ShowWindow(copyPage, SW_SHOWNA);
    ShowWindow(finishPage, SW_HIDE);
    walk.Shoot("copying", form);
    ShowWindow(finishPage, SW_SHOWNA);
    ShowWindow(copyPage, SW_HIDE);
}

std::vector<HWND> TopWindowsOfClass(const char* className) {
    std::vector<HWND> found;
    for (HWND w = FindWindowA(className, nullptr); w; w = FindWindowExA(nullptr, w, className, nullptr))
        found.push_back(w);
    return found;
}

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
    std::string Destination, Title;
    std::vector<std::string> Links, Folders;
};

TInstalled ReadLog(const std::string& logFile) {
    TInstalled installed;
    std::vector<unsigned char> bytes = fs::ReadWholeFile(logFile);
    std::string text(bytes.begin(), bytes.end());
    std::printf("demo: %s holds\n", logFile.c_str());
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 2;
        std::printf("  %s\n", line.c_str());
        if (StartsWith(line, "LINK=")) installed.Links.push_back(line.substr(5));
        if (StartsWith(line, "DIRECTORY=")) installed.Folders.push_back(line.substr(10));
        if (StartsWith(line, "KEY=")) installed.Title = line.substr(4);
    }
    if (!installed.Folders.empty()) installed.Destination = installed.Folders.back();
    return installed;
}

int Run(const std::string& setupExe, const std::string& outDir) {
    TSetupProcess setup(setupExe, GetTempDir());
    HWND form = setup.WaitForWindow("TSetupForm");
    if (!form) return 1;
    TWizard wizard(setup, form);
    if (!wizard.Found() || !WaitFor([&] { return !wizard.VisibleTexts().empty(); })) return 1;
    TWalk walk(wizard, outDir);
    walk.Shoot("welcome", form);
    if (!walk.Next()) return 1;
    if (FindVisible(form, "Edit")) {  // the licence page: consent given
        if (HWND check = FindVisible(form, "Button")) wizard.Toggle(check);
        walk.Shoot("licence", form);
        if (!walk.Next()) return 1;
    }
    walk.Shoot("destination", form);
    if (!walk.Next()) return 1;
    walk.Shoot("folder", form);
    std::printf("demo: Forward on the program-folder page copies the files\n");
    if (!walk.Next()) return 1;
    ShootCopyPage(walk, form);
    walk.Shoot("completion", form);
    wizard.Click(wizard.Forward());
    if (!setup.WaitForExit(30000)) return 1;
    std::printf("demo: the setup ended with exit code %lu\n", setup.ExitCode());

    WaitFor([] { return !TopWindowsOfClass("SkinSetupDemoApp").empty() && !TopWindowsOfClass("Notepad").empty(); },
            20000);
    walk.Shoot("started", nullptr);

    const std::string programFiles = GetProgramFilesDir();
    std::string destination;
    for (const fs::DirEntry& e : fs::ListDirectory(CollapseBackslashes(programFiles)))
        if (fs::FileExists(programFiles + e.name + "\\setup.log")) destination = programFiles + e.name;
    if (destination.empty()) return 1;
    const TInstalled installed = ReadLog(destination + "\\setup.log");
    std::printf("demo: installed into %s\n", destination.c_str());
    ShowTree(destination, "  ");
    for (const std::string& link : installed.Links) {
        test::TLinkContent info = test::ReadLink(link);
        std::printf("demo: shortcut %s\n  target %s\n  arguments %s\n  folder %s\n  description %s\n", link.c_str(),
                    info.target.c_str(), info.arguments.c_str(), info.workingFolder.c_str(),
                    info.description.c_str());
    }
    const std::string key = std::string(kUninstallRootKey) + installed.Title;
    RegKey entry = OpenKeyForReading(HKEY_LOCAL_MACHINE, key);
    std::printf("demo: uninstall entry HKEY_LOCAL_MACHINE\\%s\n", key.c_str());
    for (const char* name : {"DisplayName", "UninstallString"})
        std::printf("  %s = %s\n", name, ReadStringValue(entry, name).value_or("(missing)").c_str());
    entry.reset();

    // Remove it again with its own uninstaller, as the list of installed
    // programs would start it, without questions (/S). The program runs in
    // the destination folder: it ends first.
    const std::string command = ReadStringValue(OpenKeyForReading(HKEY_LOCAL_MACHINE, key), "UninstallString")
                                    .value_or(std::string());
    for (const char* windowClass : {"SkinSetupDemoApp", "Notepad"})
        for (HWND w : TopWindowsOfClass(windowClass)) PostMessageA(w, WM_CLOSE, 0, 0);
    WaitFor([] { return TopWindowsOfClass("SkinSetupDemoApp").empty() && TopWindowsOfClass("Notepad").empty(); });
    std::printf("demo: running %s /S\n", command.c_str());
    std::string commandLine = command + " /S";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD code = 1;
    if (!command.empty() && CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    std::printf("demo: the uninstaller ended with exit code %lu\n", code);
    // The uninstaller's own file and its folder go last, after it has ended.
    WaitFor([&] { return !fs::PathExists(destination); }, 10000);
    bool gone = !fs::PathExists(destination) && !OpenKeyForReading(HKEY_LOCAL_MACHINE, key).valid();
    for (const std::string& link : installed.Links) gone = gone && !fs::PathExists(link);
    std::printf("demo: %s\n", gone ? "the installation is removed again" : "some of the installation is left");
    return gone && setup.ExitCode() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_walk SETUP.EXE OUTDIR\n");
        return 2;
    }
    using namespace zub::e2e;
    CoInitialize(nullptr);
    int result = Run(WindowsPathOf(argv[1]), WindowsPathOf(argv[2]));
    CoUninitialize();
    return result;
}
