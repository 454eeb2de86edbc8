// Process and system helpers for the benchmarks (POSIX only).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zub::bench {

// Runs a program found on PATH and returns its exit code (-1 when it could
// not be started); RunProgramIn runs it in another working folder.
int RunProgram(const std::vector<std::string>& argv);
int RunProgramIn(const std::string& folder, const std::vector<std::string>& argv);
// Runs a program and returns what it wrote to stdout ("" on failure).
std::string CaptureProgram(const std::vector<std::string>& argv);

// A "kB" field of /proc/self/status (VmHWM, VmRSS), in KiB; -1 when missing.
int64_t ReadStatusKiB(const std::string& field);

}  // namespace zub::bench
