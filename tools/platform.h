// The little the tool needs from the system beyond the file layer.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zub::tool {

// True when standard error is a terminal (progress is drawn there).
bool StdErrIsTerminal();

// The folder of the running tool's executable, with a trailing separator;
// empty when the system does not say.
std::string ToolFolder();

// Runs `arguments[0]` (looked up on the PATH) with the rest as its
// arguments, waits for it and returns its exit code; -1 when it cannot be
// started. Its output goes where the tool's goes.
int RunProgram(const std::vector<std::string>& arguments);

// A name in the user's locale (the ANSI code page on Windows, UTF-8
// elsewhere) in Windows-1252, and back; nothing when it cannot be held.
std::optional<std::string> LocaleToWindows1252(const std::string& text);
std::string Windows1252ToLocale(const std::string& text);

}  // namespace zub::tool
