// verify: checks an archive (its trailer CRC and every entry's CRC) or a
// setup executable (its payload resource, the archives nested in it, and
// its Setup.ini against the files the payload brings).
#pragma once

#include <string>

#include "tools/command_line.h"

namespace zub::tool {

// Checks `path` and reports on console.Out; returns the number of problems
// found (0: the file is sound). Raises zub::Error when the file cannot be read.
int VerifyFile(const std::string& path, TConsole& console);

// Checks a payload archive as the setup would unpack it, reporting script
// findings prefixed with `prefix`; returns the number of problems.
int VerifyPayload(const std::string& payloadPath, TConsole& console, const std::string& prefix);

}  // namespace zub::tool
