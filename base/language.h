// The two languages the setup and the uninstaller speak, and how each is chosen.
#pragma once

#include <string>

namespace zub {

enum class TLanguage { English, German };

// The wizard's language from Setup.ini's Language value: exactly "German"
// gives German; "English", "French", "Spanish" and every other value give
// English. The comparison is case-sensitive.
inline TLanguage LanguageOfSetting(const std::string& language) {
    return language == "German" ? TLanguage::German : TLanguage::English;
}

// The language for a Windows primary language id of the user's interface:
// German for LANG_GERMAN (0x07), English otherwise.
inline TLanguage LanguageOfPrimaryId(unsigned primaryLanguageId) {
    return primaryLanguageId == 0x07 ? TLanguage::German : TLanguage::English;
}

inline bool IsGerman(TLanguage language) { return language == TLanguage::German; }
inline bool IsGerman(const std::string& setting) { return IsGerman(LanguageOfSetting(setting)); }

}  // namespace zub
