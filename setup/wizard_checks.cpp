#include "setup/wizard_checks.h"

#include <cstring>

#include "base/file.h"
#include "base/strings.h"

namespace zub {

std::string NormalizeLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            result += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            result += "\r\n";
        } else {
            result += c;
        }
    }
    return result;
}

std::string LoadLicenceText(const std::string& path) {
    const std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    return NormalizeLineBreaks(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<std::string> ProgramFolderEntries(const std::string& programsFolder, const TFindEntries& find) {
    std::vector<std::string> names;
    // An unknown Programs folder would otherwise search the current drive's root.
    if (programsFolder.empty()) return names;
    std::string pattern = programsFolder;
    if (pattern.back() != '\\') pattern += '\\';
    pattern += "*.*";
    for (const TFoundEntry& entry : find(pattern)) {
        if (entry.Hidden || entry.System) continue;
        if (entry.Name.empty() || entry.Name[0] == '.') continue;
        names.push_back(entry.Name);
    }
    return names;
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsDeviceName(std::string_view name) {
    // "NUL.txt" names the device too: only the part before the first dot counts.
    std::string base = LowerAscii(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul"})
        if (base == device) return true;
    return base.size() == 4 && (StartsWith(base, "com") || StartsWith(base, "lpt")) && base[3] >= '1' &&
           base[3] <= '9';
}

bool IsUsableName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/|?*", c) != nullptr) return false;
    if (name.back() == ' ' || name.back() == '.') return false;
    return !IsDeviceName(name);
}

}  // namespace

bool IsUsableDestination(const std::string& destination) {
    const std::string& d = destination;
    if (d.size() >= 3 && IsLetter(d[0]) && d[1] == ':' && IsSeparator(d[2])) return true;
    return d.size() >= 3 && IsSeparator(d[0]) && IsSeparator(d[1]) && !IsSeparator(d[2]);
}

bool IsUsableProgramFolder(const std::string& folder) {
    if (Trim(folder).empty()) return true;
    std::string_view rest(folder);
    for (;;) {
        const size_t cut = rest.find('\\');
        if (!IsUsableName(rest.substr(0, cut))) return false;
        if (cut == std::string_view::npos) return true;
        rest.remove_prefix(cut + 1);
    }
}

}  // namespace zub
