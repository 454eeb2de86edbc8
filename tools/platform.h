// The little the tool needs from the system beyond the file layer.
#pragma once

#include <string>

namespace zub::tool {

// True when standard error is a terminal (progress is drawn there).
bool StdErrIsTerminal();

// The folder of the running tool's executable, with a trailing separator;
// empty when the system does not say.
std::string ToolFolder();

}  // namespace zub::tool
