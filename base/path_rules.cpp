#include "base/path_rules.h"

#include <algorithm>
#include <vector>

#include "base/strings.h"

namespace zub {
namespace {

// Windows paths without the long-path prefix stop here.
constexpr size_t kMaxPath = 259;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The device names Windows finds in any folder, whatever follows after a dot.
bool IsDeviceName(std::string_view part) {
    std::string base = LowerAscii(part.substr(0, std::min(part.find('.'), part.size())));
    // "CON .txt" is the device too: blanks before the extension are dropped.
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* name : {"con", "prn", "aux", "nul"})
        if (base == name) return true;
    return base.size() == 4 && (StartsWith(base, "com") || StartsWith(base, "lpt")) && base[3] >= '0' &&
           base[3] <= '9';
}

std::vector<std::string_view> SplitParts(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsSeparator(text[i])) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace

TNameProblem CheckNamePart(std::string_view part) {
    if (part.empty()) return TNameProblem::Empty;
    for (char c : part) {
        if (static_cast<unsigned char>(c) < ' ') return TNameProblem::Control;
        if (c == ':') return TNameProblem::Colon;
        if (std::string_view("*?\"<>|").find(c) != std::string_view::npos) return TNameProblem::Reserved;
        if (IsSeparator(c)) return TNameProblem::Empty;
    }
    if (part == "." || part == "..") return TNameProblem::Parent;
    if (part.back() == '.' || part.back() == ' ') return TNameProblem::TrailingDot;
    if (IsDeviceName(part)) return TNameProblem::Device;
    return TNameProblem::None;
}

TNameProblem CheckRelativeName(std::string_view name) {
    if (name.empty()) return TNameProblem::Empty;
    if (name.size() > kMaxPath) return TNameProblem::TooLong;
    if (IsSeparator(name[0]) || (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':'))
        return TNameProblem::Rooted;
    // The first problem found, but ".." before anything else: it is what leaves the folder.
    TNameProblem first = TNameProblem::None;
    for (std::string_view part : SplitParts(name)) {
        const TNameProblem problem = CheckNamePart(part);
        if (problem == TNameProblem::Parent) return problem;
        if (first == TNameProblem::None) first = problem;
    }
    return first;
}

const char* NameProblemText(TNameProblem problem) {
    switch (problem) {
        case TNameProblem::None: return "is sound";
        case TNameProblem::Empty: return "is empty or has an empty part";
        case TNameProblem::Parent: return "climbs out of its folder with \"..\" or \".\"";
        case TNameProblem::Rooted: return "starts with a drive, a network prefix or a backslash";
        case TNameProblem::Device: return "names a device (CON, NUL, COM1, LPT1, AUX, PRN, ...)";
        case TNameProblem::TrailingDot: return "has a part that ends in a dot or a blank";
        case TNameProblem::Colon: return "holds a colon (an alternate data stream)";
        case TNameProblem::Control: return "holds a control character";
        case TNameProblem::Reserved: return "holds one of * ? \" < > |";
        case TNameProblem::TooLong: return "is too long";
    }
    return "is not sound";
}

std::string NormalisedFullPath(std::string_view path) {
    std::string slashed(path);
    std::replace(slashed.begin(), slashed.end(), '/', '\\');
    // The root, which ".." never climbs above, and the parts after it.
    std::string root;
    size_t rest = 0;
    if (slashed.size() >= 3 && IsAsciiLetter(slashed[0]) && slashed[1] == ':' && slashed[2] == '\\') {
        root = slashed.substr(0, 3);
        rest = 3;
    } else if (StartsWith(slashed, "\\\\")) {
        // "\\server\share" is the root; "\\?\" and "\\.\" name devices and raw paths.
        if (StartsWith(slashed, "\\\\?\\") || StartsWith(slashed, "\\\\.\\")) return "";
        std::vector<std::string_view> parts = SplitParts(std::string_view(slashed).substr(2));
        std::vector<std::string_view> named;
        for (std::string_view part : parts)
            if (!part.empty()) named.push_back(part);
        if (named.size() < 2 || named[0] == "." || named[0] == ".." || named[1] == "." || named[1] == "..")
            return "";
        root = "\\\\" + std::string(named[0]) + "\\" + std::string(named[1]) + "\\";
        rest = size_t(named[1].data() - slashed.data()) + named[1].size();
    } else if (StartsWith(slashed, "\\")) {
        root = "\\";
        rest = 1;
    } else {
        return "";
    }
    std::vector<std::string_view> kept;
    for (std::string_view part : SplitParts(std::string_view(slashed).substr(rest))) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (kept.empty()) return "";
            kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    std::string result = root;
    for (size_t i = 0; i < kept.size(); ++i) result += (i ? "\\" : "") + std::string(kept[i]);
    // "\\server\share" without its separator; "C:\" and "\" keep theirs.
    if (root.size() > 3 && result.back() == '\\') result.pop_back();
    return LowerAscii(result);
}

bool HasDriveOrShare(std::string_view path) {
    const std::string full = NormalisedFullPath(path);
    return !full.empty() && (full[0] != '\\' || StartsWith(full, "\\\\"));
}

bool IsPathInside(std::string_view path, std::string_view folder) {
    const std::string inner = NormalisedFullPath(path);
    std::string outer = NormalisedFullPath(folder);
    if (inner.empty() || outer.empty()) return false;
    if (outer.back() != '\\') outer += '\\';
    return inner.size() > outer.size() && StartsWith(inner, outer);
}

}  // namespace zub
