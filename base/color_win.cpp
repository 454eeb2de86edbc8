#include <windows.h>

#include "base/color.h"

namespace zub {

uint32_t PlatformSysColor(int index) { return GetSysColor(index); }

}  // namespace zub
