// The arguments of the end-to-end programs. The test programs take NAME=VALUE
// pairs after gtest's own options (e2e_main_win.cpp reads them); a path may be
// given as a Unix path, which becomes a path on Wine's drive Z:.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zub::e2e {

// "/unix/path" -> "Z:\unix\path", the Wine drive that maps the Unix root;
// anything else unchanged.
std::string WindowsPathOf(const std::string& path);

// The value of NAME=VALUE as a Windows path; a missing one ends the program
// with exit code 2, naming it.
const std::string& Argument(const std::string& name);
// Whether it was given.
bool HasArgument(const std::string& name);

// Takes NAME=VALUE pairs from the command line (what gtest left of it);
// false, naming the first, when one is not a pair.
bool ReadArguments(int argc, char** argv);

// The main of a driver program that takes its paths in order: as many as
// `usage` names after the program, given to `run` as Windows paths, with COM
// ready; the usage and exit code 2 for another number.
int ToolMain(int argc, char** argv, const char* usage, const std::function<int(const std::vector<std::string>&)>& run);

}  // namespace zub::e2e
