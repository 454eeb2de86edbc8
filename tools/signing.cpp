#include "tools/signing.h"

#include <cstdlib>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "tools/platform.h"

namespace zub::tool {

void SignExecutable(const std::string& in, const std::string& out, const std::string& certificate,
                    const std::string& passwordFile) {
    if (!fs::FileExists(certificate)) throw Error("No certificate " + certificate);
    if (!passwordFile.empty() && !fs::FileExists(passwordFile)) throw Error("No password file " + passwordFile);
    const char* named = std::getenv("SKINSETUP_OSSLSIGNCODE");
    const std::string program = named && *named ? named : "osslsigncode";
    // The program takes the paths as the system writes them.
    std::vector<std::string> command = {program, "sign", "-pkcs12", fs::NativePath(certificate), "-h", "sha256"};
    if (passwordFile.empty())
        command.insert(command.end(), {"-pass", ""});
    else
        command.insert(command.end(), {"-readpass", fs::NativePath(passwordFile)});
    command.insert(command.end(), {"-in", fs::NativePath(in), "-out", fs::NativePath(out)});
    fs::RemoveFile(out);  // osslsigncode refuses to write over a file
    const int code = RunProgram(command);
    if (code == -1)
        throw Error("Cannot run " + program + ", which signs the setup: install it (Debian: apt install osslsigncode)");
    if (code != 0 || !fs::FileExists(out))
        throw Error(program + " could not sign " + in + " (exit code " + std::to_string(code) + ")");
}

}  // namespace zub::tool
