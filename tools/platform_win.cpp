#include <windows.h>
#include <io.h>

#include <cstdio>

#include "tools/platform.h"

namespace zub::tool {

bool StdErrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string ToolFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/") + 1);
}

}  // namespace zub::tool
