#include "base/language_win.h"

#include <windows.h>

namespace zub {

TLanguage UserInterfaceLanguage() { return LanguageOfPrimaryId(PRIMARYLANGID(GetUserDefaultUILanguage())); }

}  // namespace zub
