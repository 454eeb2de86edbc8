// Checks a Setup.ini the way the setup will read it and reports what it
// would do wrong. The walk over the blocks is the setup's own
// (formats/setup_script.h: WalkScriptBlocks), and the keys and their kinds
// of value come from its tables, so that a finding here is a fault there.
//
// Errors make the setup fail or misbehave (a block without "end", a
// malformed integer, a file it needs that is not there); warnings are
// cosmetic or advisory (a button no Button block dresses, an unknown
// Language, text in UTF-8, no uninstaller installed).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zub::tool {

struct TScriptFinding {
    int Line;  // 1-based as editors count; 0 for the script as a whole
    std::string Text;
    bool Warning = false;
};

// Whether a file exists under a path relative to the work folder, as the
// script names it ("Graphics\panel.bmp").
using TFileLookup = std::function<bool(const std::string& relativePath)>;
// The bytes of such a file; nothing when it is not there.
using TFileReader = std::function<std::optional<std::string>(const std::string& relativePath)>;

// With `read`, the licence and the read-me are checked for UTF-8 too.
std::vector<TScriptFinding> CheckSetupScript(const std::vector<std::string>& lines, const TFileLookup& inWorkFolder,
                                             const TFileReader& read = nullptr);

// "Setup.ini:12: text", "Setup.ini:12: warning: text", or without the
// number for line 0.
std::string FormatFinding(const std::string& fileName, const TScriptFinding& finding);

}  // namespace zub::tool
