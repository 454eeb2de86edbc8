// Checks a Setup.ini the way the setup will read it and reports what it
// would do wrong: blocks without "end", Button blocks that dress no button,
// malformed integers, files the setup would miss. The walk over the lines
// follows the setup's own reader (setup/setup_script.h), so that a finding
// here is a fault there.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zub::tool {

struct TScriptFinding {
    int Line;  // 1-based as editors count; 0 for the script as a whole
    std::string Text;
};

// Whether a file exists under a path relative to the work folder, as the
// script names it ("Graphics\panel.bmp").
using TFileLookup = std::function<bool(const std::string& relativePath)>;

std::vector<TScriptFinding> CheckSetupScript(const std::vector<std::string>& lines, const TFileLookup& inWorkFolder);

// "Setup.ini:12: text", or "Setup.ini: text" for line 0.
std::string FormatFinding(const std::string& fileName, const TScriptFinding& finding);

}  // namespace zub::tool
