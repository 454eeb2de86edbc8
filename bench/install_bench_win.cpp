// Times whole installations under the platform, clicked through from outside
// as a user does (the end-to-end kit drives the wizard). Runs are interleaved
// round by round and each figure is the median of the rounds; a first round
// that is not counted warms the caches up.
//
//   install_bench ROUNDS NAME=SETUP.EXE ...
//
// Each setup is started with a private temporary folder and its destination
// given with /D=, clicked through every page with every option of the
// completion page cleared, and removed again by its installed uninstaller
// (/S). Figures, in milliseconds:
//   start-up      from the start of the process to its welcome page, with every
//                 page made and the wizard handling input
//   copy          from Forward on the program-folder page to the full progress bar
//   run           from the same Forward to the completion page (copy, program folder, shortcuts)
//   finish        from Forward on the completion page to the end of the process
//                 (entry, log, removal of the work folder)
//   uninstall     the installed Uninstall.exe /S, from its start to the removal of the destination
// Prints one line per figure: "NAME FIGURE MILLISECONDS".
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "bench/timing_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

using zub::bench::Median;
using zub::bench::NowMs;

constexpr DWORD kTimeoutMs = 300000;

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "install_bench: %s\n", what.c_str());
    std::exit(1);
}

using TFigures = std::map<std::string, double>;

TFigures Install(const std::string& exe, const TTestFolder& folder) {
    const std::string destination = folder / "Installed App";
    TFigures f;
    double start = NowMs();
    TSetupProcess setup(exe, folder.Temp(), "/D=" + destination);
    auto wizard = StartWizard(setup, "", kTimeoutMs);
    if (!wizard) Die(exe + " showed no wizard");
    f["start-up"] = NowMs() - start;
    HWND progress = wizard->ProgressBar();
    if (!progress) Die(exe + " has no progress bar");
    if (!wizard->WalkToTheFolderPage(nullptr, kTimeoutMs)) Die(exe + ": the walk to the program-folder page failed");
    const std::string folderPage = wizard->Heading();
    start = NowMs();
    wizard->Click(wizard->Forward());
    if (!WaitFor([&] { return SendMessageA(progress, PBM_GETPOS, 0, 0) == 100; }, kTimeoutMs)) Die(exe + ": no full bar");
    f["copy"] = NowMs() - start;
    if (!WaitFor([&] { return !wizard->Options().empty() && wizard->Heading() != folderPage; }, kTimeoutMs))
        Die(exe + ": no completion page");
    f["run"] = NowMs() - start;
    wizard->UntickOptions();
    start = NowMs();
    wizard->Click(wizard->Forward());
    if (!setup.WaitForExit(kTimeoutMs) || setup.ExitCode() != 0) Die(exe + " did not install");
    if (!folder.WorkFolders().empty()) Die(exe + " left its work folder");
    f["finish"] = NowMs() - start;

    start = NowMs();
    if (RunCommand("\"" + destination + "\\" + kUninstallerName + "\" /S", kTimeoutMs) != 0) Die(exe + ": the uninstaller failed");
    if (!WaitFor([&] { return !fs::PathExists(destination); }, kTimeoutMs)) Die(exe + ": the destination stayed");
    f["uninstall"] = NowMs() - start;
    return f;
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    using namespace zub::e2e;
    if (argc < 3) {
        std::fprintf(stderr, "usage: install_bench ROUNDS NAME=SETUP.EXE ...\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[1]));
    std::vector<std::pair<std::string, std::string>> setups;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) Die("not NAME=SETUP.EXE: " + arg);
        setups.emplace_back(arg.substr(0, eq), WindowsPathOf(arg.substr(eq + 1)));
    }
    CoInitialize(nullptr);
    std::map<std::string, std::map<std::string, std::vector<double>>> results;
    for (int round = 0; round <= rounds; ++round) {
        for (const auto& [name, exe] : setups) {
            TTestFolder folder;
            const TFigures f = Install(exe, folder);
            if (round > 0)
                for (const auto& [figure, value] : f) results[name][figure].push_back(value);
        }
        std::fprintf(stderr, round == 0 ? "warm-up round done\n" : "round %d of %d done\n", round, rounds);
    }
    CoUninitialize();
    for (const auto& [name, figures] : results)
        for (const auto& [figure, value] : figures) std::printf("%s %s %.1f\n", name.c_str(), figure.c_str(), Median(value));
    return 0;
}
