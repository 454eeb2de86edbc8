#include <windows.h>

#include "ui/color.h"

namespace zub {

uint32_t PlatformSysColor(int index) { return GetSysColor(index); }

}  // namespace zub
