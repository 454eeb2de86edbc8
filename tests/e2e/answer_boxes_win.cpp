// answer_boxes PROGRAM [ARGUMENTS]: starts PROGRAM as a user would, answers
// its first message box (the question) with Yes, writes the text of the box
// that follows to standard output, presses its OK and returns PROGRAM's exit
// code; 100 when a box does not come or PROGRAM does not end. For the shell
// end-to-end tests, which plant links from the host.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/process_driver_win.h"

namespace {

using zub::e2e::TSetupProcess;

// A visible message box of the process other than `other`.
HWND WaitForBox(const TSetupProcess& process, HWND other) {
    HWND found = nullptr;
    zub::e2e::WaitFor([&] {
        for (HWND box : process.Windows("#32770"))
            if (box != other && !zub::e2e::MessageBoxText(box).empty()) found = box;
        return found != nullptr;
    });
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: answer_boxes PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    std::string arguments;
    for (int i = 2; i < argc; ++i) arguments += (arguments.empty() ? "" : " ") + std::string(argv[i]);
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    TSetupProcess program(argv[1], temp, arguments);
    if (!program.Started()) return 100;
    HWND question = WaitForBox(program, nullptr);
    if (!question) return 100;
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    if (!zub::e2e::WaitFor([&] { return !IsWindow(question); })) return 100;
    HWND answer = WaitForBox(program, question);
    if (!answer) return 100;
    std::fputs((zub::e2e::MessageBoxText(answer) + "\n").c_str(), stdout);
    std::fflush(stdout);
    zub::e2e::PressOk(answer);
    if (!program.WaitForExit(60000)) return 100;
    return static_cast<int>(program.ExitCode());
}
