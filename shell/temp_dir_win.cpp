#include <windows.h>

#include "shell/shell.h"

namespace zub {

std::string GetTempDir() {
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(MAX_PATH, buffer);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

}  // namespace zub
