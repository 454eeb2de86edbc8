// The values of the application's entry in the list of installed programs:
// what the setup writes there, built from the log book and the setup data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/log_book.h"
#include "formats/setup_data.h"

namespace zub {

struct TRegistryValue {
    enum class TKind { Text, Number, Absent };
    std::string Name;
    TKind Kind = TKind::Text;
    std::string Text;     // REG_SZ
    uint32_t Number = 0;  // REG_DWORD
};

struct TUninstallEntry {
    std::string KeyName;  // below kUninstallRootKey
    // In the order written. An Absent value is deleted when the key has it
    // (an earlier version's publisher that this one no longer names).
    std::vector<TRegistryValue> Values;
};

// What the setup knows only at the end of the installation.
struct TInstallFacts {
    uint32_t SizeKiB = 0;  // the installed files' size, rounded up
    std::string Date;      // YYYYMMDD, the day of the installation
};

// The entry of a finished installation: DisplayName, the quoted
// UninstallString and QuietUninstallString (with " /S"), DisplayVersion,
// Publisher and URLInfoAbout when Setup.ini gives them (Absent otherwise),
// DisplayIcon (the installed TargetFile with ",0"), InstallLocation,
// EstimatedSize, InstallDate, NoModify = 1 and NoRepair = 1.
TUninstallEntry UninstallEntryOf(const TSetupLogBook& logBook, const TSetupData& data, const TInstallFacts& facts);

// Sizes in bytes to KiB, rounded up, and capped at what a DWORD holds.
uint32_t SizeInKiB(uint64_t bytes);

// "1", "2.0", "10.4.1.77": decimal numbers joined by single dots.
bool IsDottedVersion(const std::string& version);

}  // namespace zub
