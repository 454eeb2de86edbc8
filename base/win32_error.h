// The platform's last-error exception (Windows builds only).
#pragma once

#include "base/error.h"

namespace zub {

// Builds "Win32-Fehler. Code: %d.\n<system message>" from GetLastError().
Error LastWin32Error();
[[noreturn]] void RaiseLastWin32Error();

}  // namespace zub
