#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "tools/name_encoding.h"
#include "tools/platform.h"

namespace zub::tool {

bool StdErrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string ToolFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string text(path, size_t(length));
    return text.substr(0, text.find_last_of('/') + 1);
}

int RunProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return -1;
    // The shell's convention for a program that could not be run after the fork.
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

std::optional<std::string> LocaleToWindows1252(const std::string& text) { return Utf8ToWindows1252(text); }

std::string Windows1252ToLocale(const std::string& text) { return Windows1252ToUtf8(text); }

}  // namespace zub::tool
