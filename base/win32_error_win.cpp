#include <windows.h>

#include "base/handles_win.h"
#include "base/win32_error.h"

namespace zub {

std::string SystemMessage(unsigned long code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&text), 0, nullptr);
    const LocalMemory owner(text);
    std::string message = n && text ? std::string(text, n) : std::string();
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

Error LastWin32Error() {
    const DWORD code = GetLastError();
    return Win32Error(code, SystemMessage(code));
}

void RaiseLastWin32Error() { throw LastWin32Error(); }

}  // namespace zub
