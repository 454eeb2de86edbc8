#include "formats/log_format.h"

namespace zub {
namespace {

struct TPrefix {
    TLogEntryKind Kind;
    const char* Text;
};
constexpr TPrefix kPrefixes[] = {
    {TLogEntryKind::Directory, "DIRECTORY="},
    {TLogEntryKind::File, "COPYFILE="},
    {TLogEntryKind::Link, "LINK="},
};

}  // namespace

const char* LogEntryPrefix(TLogEntryKind kind) {
    for (const TPrefix& prefix : kPrefixes)
        if (prefix.Kind == kind) return prefix.Text;
    return "";
}

std::string FormatLogEntry(TLogEntryKind kind, const std::string& path) { return LogEntryPrefix(kind) + path; }

std::optional<TLogEntryLine> ParseLogEntry(std::string_view line) {
    for (const TPrefix& prefix : kPrefixes) {
        const std::string_view text = prefix.Text;
        if (line.substr(0, text.size()) == text)
            return TLogEntryLine{prefix.Kind, std::string(line.substr(text.size()))};
    }
    return std::nullopt;
}

}  // namespace zub
