#include "tests/e2e/arguments_win.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace zub::e2e {
namespace {

std::map<std::string, std::string>& Arguments() {
    static std::map<std::string, std::string> arguments;
    return arguments;
}

}  // namespace

std::string WindowsPathOf(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

const std::string& Argument(const std::string& name) {
    const auto it = Arguments().find(name);
    if (it == Arguments().end()) {
        std::fprintf(stderr, "missing argument %s=...\n", name.c_str());
        std::exit(2);
    }
    return it->second;
}

bool HasArgument(const std::string& name) { return Arguments().count(name) != 0; }

bool ReadArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t eq = argument.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::fprintf(stderr, "not NAME=VALUE: %s\n", argv[i]);
            return false;
        }
        Arguments()[argument.substr(0, eq)] = WindowsPathOf(argument.substr(eq + 1));
    }
    return true;
}

int ToolMain(int argc, char** argv, const char* usage, const std::function<int(const std::vector<std::string>&)>& run) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(WindowsPathOf(argv[i]));
    size_t expected = 0;
    for (const char* c = usage; *c; ++c) expected += *c == ' ';
    if (arguments.size() != expected) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    CoInitialize(nullptr);
    const int result = run(arguments);
    CoUninitialize();
    return result;
}

}  // namespace zub::e2e
