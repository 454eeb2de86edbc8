// The language of the user's interface, as the setup and the uninstaller
// choose their texts by it.
#pragma once

#include "base/language.h"

namespace zub {

// German when the user's interface language (GetUserDefaultUILanguage) is
// German, English otherwise.
TLanguage UserInterfaceLanguage();

}  // namespace zub
