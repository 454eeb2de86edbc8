#include "setup/upgrade.h"

#include <algorithm>

#include "base/path_rules.h"
#include "base/strings.h"
#include "formats/setup_script.h"
#include "setup/wizard_checks.h"

namespace zub {
namespace {

// The path as compared: normalised, or as it is when it is no full path.
std::string Comparable(const std::string& path) {
    const std::string normalised = NormalisedFullPath(path);
    return normalised.empty() ? LowerAscii(path) : normalised;
}

bool IsInside(const std::string& path, const std::string& folder, bool folderItself) {
    if (Trim(folder).empty()) return false;
    if (folderItself && !NormalisedFullPath(path).empty() && NormalisedFullPath(path) == NormalisedFullPath(folder))
        return true;
    return IsPathInside(path, folder);
}

// Already in its normal form but for case and doubled backslashes (so no
// "." or ".." parts and no "/"), with no stream or device ":" past the drive,
// no wildcard, quote or control character.
bool IsPlainPath(const std::string& path) {
    std::string collapsed = CollapseBackslashes(path);
    if (StartsWith(path, "\\\\")) collapsed.insert(0, "\\");  // a UNC path keeps its "\\"
    if (NormalisedFullPath(path) != LowerAscii(collapsed)) return false;
    if (path.find_first_of("*?\"<>|:", 2) != std::string::npos) return false;
    return std::none_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
}

size_t Depth(const std::string& path) {
    const std::string p = Comparable(path);
    return static_cast<size_t>(std::count(p.begin(), p.end(), '\\'));
}

}  // namespace

std::string ProposedDestination(const std::optional<std::string>& commandLine, const std::string& installLocation,
                                const std::string& programFilesDestination) {
    if (commandLine) return *commandLine;
    if (IsUsableDestination(installLocation)) return installLocation;
    return programFilesDestination;
}

bool IsOwnEntry(const TLogEntryLine& entry, const TOwnFolders& folders) {
    if (!IsUsableDestination(entry.Path) || !IsPlainPath(entry.Path)) return false;
    switch (entry.Kind) {
        case TLogEntryKind::File: return IsInside(entry.Path, folders.Destination, false);
        case TLogEntryKind::Directory:
            return IsInside(entry.Path, folders.Destination, true) || IsInside(entry.Path, folders.Programs, false);
        case TLogEntryKind::Link:
            return LowerAscii(ExtractFileExt(entry.Path)) == ".lnk" &&
                   (IsInside(entry.Path, folders.Programs, false) || IsInside(entry.Path, folders.Desktop, false));
    }
    return false;
}

std::optional<std::vector<TLogEntryLine>> EarlierLogEntries(const std::string& text, const std::string& displayName) {
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.size() < 3 || lines[0] != kLogSignature || lines[1] != kLogNamePrefix + displayName) return std::nullopt;
    std::vector<TLogEntryLine> entries;
    for (size_t i = 3; i < lines.size(); ++i)
        if (std::optional<TLogEntryLine> entry = ParseLogEntry(lines[i])) entries.push_back(std::move(*entry));
    return entries;
}

void MergeEarlierEntries(TSetupLogBook& logBook, const std::vector<TLogEntryLine>& earlier, const TOwnFolders& folders,
                         const std::function<bool(const TLogEntryLine&)>& exists) {
    std::vector<TLogEntryLine> entries;
    for (const std::string& line : logBook.Lines)
        if (std::optional<TLogEntryLine> entry = ParseLogEntry(line)) entries.push_back(std::move(*entry));
    for (const TLogEntryLine& entry : earlier)
        if (IsOwnEntry(entry, folders) && exists(entry)) entries.push_back(entry);

    // Logs hold some hundred lines: plain searches keep the setup small.
    std::vector<std::string> seen;
    std::vector<TLogEntryLine> items, folderEntries;
    size_t deepest = 0;
    for (TLogEntryLine& entry : entries) {
        std::string key = LogEntryPrefix(entry.Kind) + Comparable(entry.Path);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(std::move(key));
        if (entry.Kind == TLogEntryKind::Directory) deepest = std::max(deepest, Depth(entry.Path));
        (entry.Kind == TLogEntryKind::Directory ? folderEntries : items).push_back(std::move(entry));
    }
    // Deeper folders first, so that a folder comes before its parents; the
    // same depth keeps the order it had.
    std::vector<TLogEntryLine> byDepth;
    for (size_t depth = deepest + 1; depth-- > 0;)
        for (const TLogEntryLine& entry : folderEntries)
            if (Depth(entry.Path) == depth) byDepth.push_back(entry);
    folderEntries = std::move(byDepth);

    logBook.Lines.clear();
    for (const auto* list : {&items, &folderEntries})
        for (const TLogEntryLine& entry : *list) logBook.Lines.push_back(FormatLogEntry(entry.Kind, entry.Path));
}

}  // namespace zub
