#include "formats/uninstall_entry.h"

#include <cctype>

#include "base/strings.h"

namespace zub {
namespace {

using K = TRegistryValue::TKind;

void Add(TUninstallEntry& entry, const char* name, K kind, const std::string& text, uint32_t number = 0) {
    entry.Values.push_back({name, kind, text, number});
}

// A value Setup.ini may leave out: written when given, removed otherwise.
void AddOptional(TUninstallEntry& entry, const char* name, const std::string& text) {
    Add(entry, name, Trim(text).empty() ? K::Absent : K::Text, text);
}

}  // namespace

TUninstallEntry UninstallEntryOf(const TSetupLogBook& logBook, const TSetupData& data, const TInstallFacts& facts) {
    const std::string command = UninstallCommand(logBook.LogFileName);
    TUninstallEntry entry;
    entry.KeyName = logBook.EffectiveUninstallKeyName();
    Add(entry, "DisplayName", K::Text, logBook.DisplayName);
    Add(entry, "UninstallString", K::Text, command);
    Add(entry, "QuietUninstallString", K::Text, command + " /S");
    AddOptional(entry, "DisplayVersion", data.Version);
    AddOptional(entry, "Publisher", data.Publisher);
    AddOptional(entry, "URLInfoAbout", data.Website);
    Add(entry, "DisplayIcon", K::Text, data.Destination + "\\" + data.TargetFile + ",0");
    Add(entry, "InstallLocation", K::Text, data.Destination);
    Add(entry, "EstimatedSize", K::Number, "", facts.SizeKiB);
    Add(entry, "InstallDate", K::Text, facts.Date);
    Add(entry, "NoModify", K::Number, "", 1);
    Add(entry, "NoRepair", K::Number, "", 1);
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
