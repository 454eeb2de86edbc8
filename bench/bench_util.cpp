#include "bench/bench_util.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

extern char** environ;

namespace zub::bench {
namespace {

std::vector<char*> ArgvOf(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

int Wait(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Spawn(const std::vector<std::string>& argv, posix_spawn_file_actions_t* actions) {
    pid_t pid = 0;
    std::vector<char*> args = ArgvOf(argv);
    if (posix_spawnp(&pid, args[0], actions, nullptr, args.data(), environ) != 0) return -1;
    return Wait(pid);
}

}  // namespace

int RunProgram(const std::vector<std::string>& argv) { return Spawn(argv, nullptr); }

int RunProgramIn(const std::string& folder, const std::vector<std::string>& argv) {
    // posix_spawn_file_actions_addchdir_np is not everywhere: go through sh.
    std::string command = "cd '" + folder + "' &&";
    for (const std::string& a : argv) command += " '" + a + "'";
    return Spawn({"sh", "-c", command}, nullptr);
}

std::string CaptureProgram(const std::vector<std::string>& argv) {
    int fds[2];
    if (pipe(fds) != 0) return "";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    std::vector<char*> args = ArgvOf(argv);
    const int started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; started == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, size_t(n));
    close(fds[0]);
    if (started != 0 || Wait(pid) != 0) return "";
    return output;
}

int64_t ReadStatusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size() + 1, field + ":") == 0) return std::atoll(line.c_str() + field.size() + 1);
    return -1;
}

}  // namespace zub::bench
