#include <unistd.h>

#include <climits>

#include "tools/name_encoding.h"
#include "tools/platform.h"

namespace zub::tool {

bool StdErrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string ToolFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string text(path, size_t(length));
    return text.substr(0, text.find_last_of('/') + 1);
}

std::optional<std::string> LocaleToWindows1252(const std::string& text) { return Utf8ToWindows1252(text); }

std::string Windows1252ToLocale(const std::string& text) { return Windows1252ToUtf8(text); }

}  // namespace zub::tool
