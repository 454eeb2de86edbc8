#include <unistd.h>

#include <cstdlib>

#include "shell/shell.h"

namespace zub {

std::string GetTempDir() {
    const char* dir = std::getenv("TMPDIR");
    std::string result = dir && *dir ? dir : "/tmp";
    if (result.back() != '/' && result.back() != '\\') result += '\\';
    return result;
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

}  // namespace zub
