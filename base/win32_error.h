// The platform's last-error exception (Windows builds only).
#pragma once

#include "base/error.h"

namespace zub {

// The system's text for an error code, without the line end; "" when it has none.
std::string SystemMessage(unsigned long code);

// Builds "Win32-Fehler. Code: %d.\n<system message>" from GetLastError().
Error LastWin32Error();
[[noreturn]] void RaiseLastWin32Error();

}  // namespace zub
