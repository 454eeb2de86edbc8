// Reads setup.log (format in setup/log_format.h) for the uninstaller. A log
// whose header is damaged is refused as a whole, so that nothing is removed
// on its word; a damaged entry line is kept aside for the report and passed
// over, the other entries stay usable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "formats/log_format.h"

namespace zub {

struct TSetupLogEntry {
    TLogEntryKind Kind;
    std::string Path;
    int Line;  // 1-based
};

// A line the reader could not use: an unknown prefix, a NUL byte, or a last
// line cut off before its line end (its path may be cut short too).
struct TUnusableLogLine {
    int Line;
    std::string Text;
};

struct TSetupLog {
    std::string Name;                     // after "NAME="
    std::string KeyName;                  // after "KEY="
    std::vector<TSetupLogEntry> Entries;  // in file order: newest first
    std::vector<TUnusableLogLine> Unusable;
};

// Why a log is refused; the uninstaller words it in the user's language.
enum class TLogFault { Missing, Unreadable, NoSignature, NoHeaderLine, CutOff };

// The log is missing or its header is damaged. `Line` is the header line at
// fault (1-based; 0 for the file as a whole); what() says it in English.
class TSetupLogError : public Error {
public:
    TSetupLogError(TLogFault fault, int line);
    TLogFault Fault;
    int Line;
};

// Lines end in CR LF or a bare LF; blank lines are passed over. Raises
// TSetupLogError when the first line is not "SetupLOG" or the second and
// third lines are not complete "NAME=" and "KEY=" lines.
TSetupLog ParseSetupLog(std::string_view text);

// Reads and parses the file. Raises TSetupLogError when it does not exist,
// cannot be read or is far too large (64 MB), or when ParseSetupLog refuses it.
TSetupLog ReadSetupLog(const std::string& path);

}  // namespace zub
