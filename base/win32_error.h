// The platform's last-error exception (Windows builds only).
#pragma once

#include <string>

#include "base/error.h"

namespace zub {

// The system's text for an error code (a Win32 code or an HRESULT), with
// trailing line breaks and blanks removed; empty when the system has none.
std::string SystemMessage(unsigned long code);

// Builds "Win32-Fehler. Code: %d.\n<system message>" from GetLastError().
Error LastWin32Error();
[[noreturn]] void RaiseLastWin32Error();

}  // namespace zub
