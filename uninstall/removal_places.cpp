#include "uninstall/removal_places.h"

#include "base/file.h"
#include "base/path_rules.h"
#include "base/strings.h"

namespace zub {
namespace {

std::string Full(const std::string& path) {
    const std::string full = fs::LongFullPath(path);
    return full.empty() ? path : full;
}

// The first folder of `folders` that `path` lies inside (or is, when `itself`).
const std::string* Holder(const std::string& path, const std::vector<std::string>& folders, bool itself) {
    for (const std::string& folder : folders) {
        if (Trim(folder).empty()) continue;
        const std::string full = Full(folder);
        if (IsPathInside(path, full) ||
            (itself && !NormalisedFullPath(path).empty() && NormalisedFullPath(path) == NormalisedFullPath(full)))
            return &folder;
    }
    return nullptr;
}

}  // namespace

TPlaceVerdict PlaceOf(TLogEntryKind kind, const std::string& path, const TRemovalPlaces& places, std::string& base) {
    const std::string full = Full(path);
    const std::vector<std::string> install{places.InstallFolder};
    const std::string* holder = nullptr;
    switch (kind) {
        case TLogEntryKind::File: holder = Holder(full, install, false); break;
        case TLogEntryKind::Directory:
            // The destination itself is recorded, and the program folder in the Start menu.
            holder = Holder(full, install, true);
            if (!holder) holder = Holder(full, places.Programs, false);
            break;
        case TLogEntryKind::Link:
            if (LowerAscii(ExtractFileExt(full)) != ".lnk") return TPlaceVerdict::NotAShortcut;
            holder = Holder(full, install, false);
            if (!holder) holder = Holder(full, places.Programs, false);
            if (!holder) holder = Holder(full, places.Desktops, false);
            break;
    }
    if (!holder) return TPlaceVerdict::Outside;
    base = Full(*holder);
    return TPlaceVerdict::Allowed;
}

bool UninstallStringNames(const std::string& command, const std::string& self) {
    const std::string text = Trim(command);
    std::string program;
    if (StartsWith(text, "\"")) {
        const size_t end = text.find('"', 1);
        if (end == std::string::npos) return false;
        program = text.substr(1, end - 1);
    } else {
        program = text.substr(0, LowerAscii(text).find(".exe") == std::string::npos
                                     ? text.size()
                                     : LowerAscii(text).find(".exe") + 4);
    }
    const std::string a = NormalisedFullPath(Full(program));
    return !a.empty() && a == NormalisedFullPath(Full(self));
}

bool MayRemoveAtRestart(const std::string& path, const std::vector<std::string>& restartFolders) {
    return Holder(Full(path), restartFolders, false) != nullptr;
}

}  // namespace zub
