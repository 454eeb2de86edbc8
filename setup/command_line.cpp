#include "setup/command_line.h"

#include <cctype>

#include "base/strings.h"
#include "setup/wizard_checks.h"

namespace zub {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(std::string_view text, size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

// Where the arguments begin: after the program name, which is either in
// quotes (and may hold blanks) or runs to the first blank.
size_t AfterProgramName(std::string_view line) {
    size_t at = SkipBlanks(line, 0);
    if (at < line.size() && line[at] == '"') {
        const size_t close = line.find('"', at + 1);
        return close == std::string_view::npos ? line.size() : close + 1;
    }
    while (at < line.size() && !IsBlank(line[at])) ++at;
    return at;
}

// One argument from `at`: up to the next blank outside quotes, with the
// quotes taken out. `at` moves behind it.
std::string NextArgument(std::string_view line, size_t& at) {
    std::string argument;
    bool quoted = false;
    for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else
            argument += line[at];
    }
    return argument;
}

bool HasPrefix(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && LowerAscii(text.substr(0, prefix.size())) == LowerAscii(prefix);
}

std::string TrimRightBlanks(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return std::string(text.substr(0, end));
}

TSetupOptions Refused(TSetupOptions options, std::string why) {
    options.Error = std::move(why);
    options.Usage = true;
    return options;
}

}  // namespace

TSetupOptions ParseSetupCommandLine(std::string_view line) {
    TSetupOptions options;
    size_t at = AfterProgramName(line);
    for (at = SkipBlanks(line, at); at < line.size(); at = SkipBlanks(line, at)) {
        // The destination runs to the end of the line, so it is read from the
        // line itself, not as an argument.
        if (HasPrefix(line.substr(at), "/D=")) {
            const std::string path = TrimRightBlanks(line.substr(at + 3));
            options.Destination = path;
            if (path.empty()) return Refused(options, "/D= names no folder.");
            if (!IsUsableDestination(path))
                return Refused(options, "/D=" + path + " is not a full path with a drive or a network share.");
            return options;
        }
        const std::string argument = NextArgument(line, at);
        const std::string lower = LowerAscii(argument);
        if (lower == "/s") {
            options.Silent = true;
        } else if (lower == "/?") {
            options.Usage = true;
        } else if (HasPrefix(argument, "/LOG=")) {
            const std::string file = argument.substr(5);
            if (file.empty()) return Refused(options, "/LOG= names no file.");
            if (!options.LogFile.empty() && options.LogFile != file)
                return Refused(options, "/LOG= is given twice.");
            options.LogFile = file;
        } else {
            return Refused(options, "Unknown switch: " + argument);
        }
    }
    return options;
}

std::string UsageText() {
    return "setup.exe [/S] [/LOG=FILE] [/D=PATH]\n"
           "\n"
           "/S  silent: no window; installs what the wizard would propose\n"
           "/LOG=FILE  writes a trace of the run to FILE\n"
           "/D=PATH  the destination folder; the last switch: it runs to the end of the line, without quotes\n"
           "/?  shows this box\n"
           "\n"
           "Exit codes:\n"
           "0\tinstalled\n"
           "1\tthe installation failed and was rolled back\n"
           "2\tcancelled by the user\n"
           "3\tthe setup could not start\n"
           "4\tbad command line (or /?)\n"
           "5\tthe rollback could not undo everything";
}

}  // namespace zub
