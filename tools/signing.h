// Authenticode signing of the setup and its uninstaller, by osslsigncode.
#pragma once

#include <string>

namespace zub::tool {

// Signs the executable `in` into `out` (SHA-256) with the PKCS#12
// certificate `certificate`, whose password, when it has one, is the first
// line of `passwordFile`. The program is osslsigncode, or the one the
// environment variable SKINSETUP_OSSLSIGNCODE names. Raises zub::Error when
// it is missing or fails.
void SignExecutable(const std::string& in, const std::string& out, const std::string& certificate,
                    const std::string& passwordFile);

}  // namespace zub::tool
