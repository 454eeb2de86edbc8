#include <windows.h>

#include "base/file.h"
#include "shell/shell.h"

namespace zub {
namespace {

// The first of TMP, TEMP and USERPROFILE that is set, which GetTempPathA
// takes; "" when none is (or it is too long to be taken).
std::string TempVariable() {
    for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
        char value[MAX_PATH + 1] = {};
        const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
        if (n > 0) return n < sizeof value ? std::string(value, n) : std::string();
    }
    return "";
}

}  // namespace

// GetTempPathA makes a relative TMP or TEMP full against the current folder;
// such a setting is returned as it was given, so that it is seen to be
// relative and no folder is made in the current directory.
std::string GetTempDir() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, buffer);
    if (n == 0 || n > MAX_PATH) return "";
    const std::string variable = TempVariable();
    if (!variable.empty() && !fs::IsFullPath(variable)) return variable;
    return std::string(buffer, n);
}

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace zub
