#include "setup/uninstall_entry.h"

#include <cctype>

#include "base/strings.h"

namespace zub {
namespace {

TRegistryValue Text(const char* name, const std::string& text) {
    return {name, TRegistryValue::TKind::Text, text, 0};
}

TRegistryValue Number(const char* name, uint32_t number) {
    return {name, TRegistryValue::TKind::Number, "", number};
}

// A value Setup.ini may leave out: written when given, removed otherwise.
TRegistryValue Optional(const char* name, const std::string& text) {
    if (Trim(text).empty()) return {name, TRegistryValue::TKind::Absent, "", 0};
    return Text(name, text);
}

}  // namespace

TUninstallEntry UninstallEntryOf(const TSetupLogBook& logBook, const TSetupData& data, const TInstallFacts& facts) {
    const std::string command = UninstallCommand(logBook.LogFileName);
    TUninstallEntry entry;
    entry.KeyName = logBook.EffectiveUninstallKeyName();
    entry.Values = {
        Text("DisplayName", logBook.DisplayName),
        Text("UninstallString", command),
        Text("QuietUninstallString", command + " /S"),
        Optional("DisplayVersion", data.Version),
        Optional("Publisher", data.Publisher),
        Optional("URLInfoAbout", data.Website),
        Text("DisplayIcon", data.Destination + "\\" + data.TargetFile + ",0"),
        Text("InstallLocation", data.Destination),
        Number("EstimatedSize", facts.SizeKiB),
        Text("InstallDate", facts.Date),
        Number("NoModify", 1),
        Number("NoRepair", 1),
    };
    return entry;
}

uint32_t SizeInKiB(uint64_t bytes) {
    const uint64_t kib = bytes / 1024 + (bytes % 1024 != 0);
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

bool IsDottedVersion(const std::string& version) {
    bool digit = false;  // the current group has a digit
    for (char c : version) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digit = true;
        } else if (c == '.' && digit) {
            digit = false;
        } else {
            return false;
        }
    }
    return digit;
}

}  // namespace zub
