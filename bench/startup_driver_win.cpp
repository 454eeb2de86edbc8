// Times setups and the floor program under the platform, from outside, as a
// user would see them. Runs are interleaved round by round and each figure
// is the median of the rounds.
//
//   startup_driver ROUNDS NAME=COMMAND ...
//   startup_driver close CLASS
//
// A first round that is not counted warms the caches up; every other round
// runs the programs in reverse order.
//
// A COMMAND ending in ".exe" alone is a setup: it is started with TMP and
// TEMP pointing at a private folder and timed to its first visible feedback
// (the unpacking progress window or the wizard window) and to its wizard
// window; then the wizard is asked to close, and the time to the removal of
// its work folder and to the end of the process is taken. Any other COMMAND
// (a program with arguments; "{out}" stands for a fresh folder) is timed
// from its start to its end.
//
// Both are given SKINSETUP_TIMELINE, naming a file for their start-up
// timeline; its steps become figures "step NAME at" (the first begin, from
// the start of the process), "step NAME ms" (the time of all its runs
// together) and "step NAME count". A setup's "ready" is the end of its last
// start-up step, "dialogs made": from then on it handles input.
//
// Prints one line per figure: "NAME FIGURE MILLISECONDS", the median of the
// rounds, and "NAME least FIGURE MILLISECONDS", the least of them: the round
// that other work on the machine disturbed least.
//
// "close CLASS" waits for a visible window of that class (of any process)
// and asks it to close: for setups started by someone else, under strace say.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "bench/timing_win.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"

namespace {

using zub::bench::Median;
using zub::bench::NowMs;

constexpr DWORD kTimeoutMs = 60000;
// How often the setup is looked at: often enough for figures of a few
// hundred milliseconds, seldom enough not to slow it down.
constexpr DWORD kPollMs = 3;

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "startup_driver: %s\n", what.c_str());
    std::exit(1);
}

// The environment of this process with these variables ("NAME=value") set.
std::vector<char> EnvironmentWith(const std::vector<std::string>& set) {
    std::vector<char> block;
    char* env = GetEnvironmentStringsA();
    for (const char* p = env; *p; p += strlen(p) + 1) {
        const std::string entry = p;
        bool replaced = false;
        for (const std::string& s : set) replaced = replaced || _strnicmp(p, s.c_str(), s.find('=') + 1) == 0;
        if (!replaced) block.insert(block.end(), entry.begin(), entry.end() + 1);
    }
    FreeEnvironmentStringsA(env);
    for (const std::string& entry : set) block.insert(block.end(), entry.begin(), entry.end() + 1);
    block.push_back('\0');
    return block;
}

using Figures = std::map<std::string, double>;

// Adds the steps of a timeline file, relative to `start`, and deletes the file.
// A step that runs more than once counts all its runs; nested runs of one
// step are paired innermost first.
void AddTimeline(const std::string& path, double start, Figures& f) {
    FILE* in = std::fopen(path.c_str(), "r");
    if (!in) return;  // a program that keeps none (an earlier setup, say)
    std::map<std::string, std::vector<double>> open;
    char kind[16], name[128];
    double ms;
    while (std::fscanf(in, "%lf %15s %127[^\n]", &ms, kind, name) == 3) {
        const std::string step = std::string("step ") + name;
        if (!f.count(step + " at")) f[step + " at"] = ms - start;
        if (!std::strcmp(kind, "begin")) {
            open[step].push_back(ms);
            f[step + " count"] += 1;
        } else if (!std::strcmp(kind, "end") && !open[step].empty()) {
            f[step + " ms"] += ms - open[step].back();
            open[step].pop_back();
        }
    }
    std::fclose(in);
    DeleteFileA(path.c_str());
}

PROCESS_INFORMATION Start(const std::string& commandLine, std::vector<char>* environment) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end() + 1);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, environment ? environment->data() : nullptr,
                        nullptr, &si, &pi))
        Die("cannot start " + commandLine);
    CloseHandle(pi.hThread);
    return pi;
}

// A visible top-level window of the class in the process. Looked up by class
// name: a handful of calls per look, so that the polling costs the process
// under test (which shares the window server with it) next to nothing.
HWND VisibleWindow(DWORD process, const char* className) {
    for (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w;
         w = FindWindowExA(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

Figures RunSetup(const std::string& exe, const std::string& temp, const std::string& timeline) {
    zub::DeleteFolderTree(temp.substr(0, temp.size() - 1));
    zub::fs::ForceDirectories(temp);
    std::vector<char> env = EnvironmentWith({"TMP=" + temp, "TEMP=" + temp, "SKINSETUP_TIMELINE=" + timeline});
    Figures f;
    const double start = NowMs();
    PROCESS_INFORMATION pi = Start("\"" + exe + "\"", &env);
    HWND wizard = nullptr;
    while (!wizard) {
        if (!f.count("feedback") && VisibleWindow(pi.dwProcessId, "TUnpackProgress")) {
            f["feedback"] = NowMs() - start;
            f["progress window"] = 1;
        }
        wizard = VisibleWindow(pi.dwProcessId, "TSetupForm");
        if (WaitForSingleObject(pi.hProcess, kPollMs) == WAIT_OBJECT_0) Die(exe + " ended without its window");
        if (NowMs() - start > kTimeoutMs) Die(exe + " showed no window");
    }
    f["window"] = NowMs() - start;
    if (!f.count("feedback")) f["feedback"] = f["window"];
    if (!f.count("progress window")) f["progress window"] = 0;

    const std::string work = temp + zub::kWorkFolderPrefix + "1";
    const double close = NowMs();
    PostMessageA(wizard, WM_CLOSE, 0, 0);
    bool exited = false;
    while (zub::fs::PathExists(work) || !exited) {
        if (!f.count("work folder gone") && !zub::fs::PathExists(work)) f["work folder gone"] = NowMs() - close;
        if (!exited && WaitForSingleObject(pi.hProcess, kPollMs) == WAIT_OBJECT_0) {
            exited = true;
            f["exit"] = NowMs() - close;
        }
        if (exited && zub::fs::PathExists(work)) Die(exe + " left its work folder");
        if (NowMs() - close > kTimeoutMs) Die(exe + " did not end");
    }
    if (!f.count("work folder gone")) f["work folder gone"] = f["exit"];
    CloseHandle(pi.hProcess);
    AddTimeline(timeline, start, f);
    if (f.count("step dialogs made at")) f["ready"] = f["step dialogs made at"] + f["step dialogs made ms"];
    return f;
}

Figures RunProgram(std::string command, const std::string& out, const std::string& timeline) {
    zub::DeleteFolderTree(out);
    const size_t at = command.find("{out}");
    if (at != std::string::npos) command.replace(at, 5, out);
    std::vector<char> env = EnvironmentWith({"SKINSETUP_TIMELINE=" + timeline});
    const double start = NowMs();
    PROCESS_INFORMATION pi = Start(command, &env);
    if (WaitForSingleObject(pi.hProcess, kTimeoutMs) != WAIT_OBJECT_0) Die(command + " did not end");
    Figures f{{"run", NowMs() - start}};
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (code != 0) Die(command + " failed");
    zub::DeleteFolderTree(out);
    AddTimeline(timeline, start, f);
    return f;
}

}  // namespace

int CloseWhenShown(const char* className) {
    const double start = NowMs();
    for (;;) {
        if (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w && IsWindowVisible(w)) {
            PostMessageA(w, WM_CLOSE, 0, 0);
            return 0;
        }
        if (NowMs() - start > kTimeoutMs) Die(std::string("no window ") + className);
        Sleep(20);
    }
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "close") return CloseWhenShown(argv[2]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_driver ROUNDS NAME=COMMAND ...\n");
        return 2;
    }
    const int rounds = std::max(1, atoi(argv[1]));
    std::vector<std::pair<std::string, std::string>> items;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) Die("not NAME=COMMAND: " + arg);
        items.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
    }
    const zub::TTempFolder folder("startup_bench.");
    const std::string base = folder.Path().substr(0, folder.Path().size() - 1);
    std::map<std::string, std::map<std::string, std::vector<double>>> results;
    // Round 0 warms the caches up and is not counted. Every other round runs
    // the programs in reverse order, so that none always follows the same
    // one: what a large setup leaves behind (its files still being written
    // out, say) slows whatever comes next.
    for (int round = 0; round <= rounds; ++round) {
        for (size_t k = 0; k < items.size(); ++k) {
            const auto& [name, command] = items[round % 2 ? items.size() - 1 - k : k];
            const bool setup = command.size() > 4 && _stricmp(command.c_str() + command.size() - 4, ".exe") == 0 &&
                               command.find(' ') == std::string::npos;
            const std::string timeline = base + "\\timeline.txt";
            const Figures f =
                setup ? RunSetup(command, base + "\\tmp\\", timeline) : RunProgram(command, base + "\\out", timeline);
            if (round > 0)
                for (const auto& [figure, value] : f) results[name][figure].push_back(value);
        }
        std::fprintf(stderr, round == 0 ? "warm-up round done\n" : "round %d of %d done\n", round, rounds);
    }
    for (const auto& [name, figures] : results)
        for (const auto& [figure, values] : figures) {
            std::printf("%s %s %.1f\n", name.c_str(), figure.c_str(), Median(values));
            std::printf("%s least %s %.1f\n", name.c_str(), figure.c_str(), *std::min_element(values.begin(), values.end()));
        }
    return 0;
}
