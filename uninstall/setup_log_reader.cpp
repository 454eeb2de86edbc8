#include "uninstall/setup_log_reader.h"

#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace {

struct TRawLine {
    std::string Text;
    bool Complete;  // ended by a line feed
};

std::vector<TRawLine> SplitLogLines(std::string_view text) {
    std::vector<TRawLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const bool complete = end != std::string_view::npos;
        std::string line(text.substr(start, complete ? end - start : std::string_view::npos));
        if (complete && !line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back({std::move(line), complete});
        if (!complete) break;
        start = end + 1;
    }
    return lines;
}

std::string FaultText(TLogFault fault, int line) {
    switch (fault) {
        case TLogFault::Missing: return "setup.log does not exist";
        case TLogFault::Unreadable: return "setup.log cannot be read";
        case TLogFault::NoSignature: return Format("the first line of setup.log is not \"%s\"", kLogSignature);
        case TLogFault::NoHeaderLine: return Format("line %d of setup.log is not its NAME= or KEY= line", line);
        case TLogFault::CutOff: return Format("line %d of setup.log is cut off", line);
    }
    return "setup.log is damaged";
}

// The value of a header line at `index`, which must be complete and start with `prefix`.
std::string HeaderValue(const std::vector<TRawLine>& lines, size_t index, const char* prefix) {
    const int number = int(index + 1);
    if (index >= lines.size()) throw TSetupLogError(TLogFault::NoHeaderLine, number);
    const TRawLine& line = lines[index];
    if (!StartsWith(line.Text, prefix) || line.Text.find('\0') != std::string::npos)
        throw TSetupLogError(TLogFault::NoHeaderLine, number);
    // A key name cut short could name another program's key.
    if (!line.Complete) throw TSetupLogError(TLogFault::CutOff, number);
    return line.Text.substr(std::string_view(prefix).size());
}

}  // namespace

TSetupLogError::TSetupLogError(TLogFault fault, int line) : Error(FaultText(fault, line)), Fault(fault), Line(line) {}

TSetupLog ParseSetupLog(std::string_view text) {
    const std::vector<TRawLine> lines = SplitLogLines(text);
    if (lines.empty() || lines[0].Text != kLogSignature) throw TSetupLogError(TLogFault::NoSignature, 1);
    TSetupLog log;
    log.Name = HeaderValue(lines, 1, kLogNamePrefix);
    log.KeyName = HeaderValue(lines, 2, kLogKeyPrefix);
    for (size_t i = 3; i < lines.size(); ++i) {
        const TRawLine& line = lines[i];
        const int number = int(i + 1);
        if (line.Text.empty()) continue;
        const std::optional<TLogEntryLine> entry = ParseLogEntry(line.Text);
        if (!entry || !line.Complete || line.Text.find('\0') != std::string::npos)
            log.Unusable.push_back({number, line.Text});
        else
            log.Entries.push_back({entry->Kind, entry->Path, number});
    }
    return log;
}

TSetupLog ReadSetupLog(const std::string& path) {
    if (!fs::FileExists(path)) throw TSetupLogError(TLogFault::Missing, 0);
    fs::File file = fs::File::OpenRead(path);
    // Far beyond any installation's record: not a log to act on.
    constexpr int64_t kMaxLogSize = 64 * 1024 * 1024;
    if (!file.IsOpen() || file.Size() > kMaxLogSize) throw TSetupLogError(TLogFault::Unreadable, 0);
    std::string text(static_cast<size_t>(file.Size()), '\0');
    text.resize(text.empty() ? 0 : file.Read(text.data(), text.size()));
    return ParseSetupLog(text);
}

}  // namespace zub
