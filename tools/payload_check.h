// verify: checks an archive (its trailer CRC and every entry's CRC) or a
// setup executable (its payload resource, the archives nested in it, and
// its Setup.ini against the files the payload brings).
#pragma once

#include <string>

#include "tools/command_line.h"

namespace zub::tool {

// What a check found. Errors make the setup fail or misbehave; warnings are
// cosmetic or advisory.
struct TVerifyCount {
    int Errors = 0;
    int Warnings = 0;

    TVerifyCount& operator+=(const TVerifyCount& other) {
        Errors += other.Errors;
        Warnings += other.Warnings;
        return *this;
    }
    // "OK", "1 error", "2 errors and 1 warning", ...
    std::string Describe() const;
};

// Checks `path` and reports on console.Out. Raises zub::Error when the file
// cannot be read.
TVerifyCount VerifyFile(const std::string& path, TConsole& console);

// Checks a payload archive as the setup would unpack it, reporting script
// findings prefixed with `prefix`.
TVerifyCount VerifyPayload(const std::string& payloadPath, TConsole& console, const std::string& prefix);

}  // namespace zub::tool
