// Where the uninstaller may remove what setup.log names. The log lies in the
// installation folder, which may be open to other users, so an entry is
// removed only where the setup puts such things: files and folders in the
// folder of the running Uninstall.exe (folders also as program folders in a
// Start-menu Programs folder), shortcuts (".lnk") there, in a Programs folder
// or on a desktop. Paths are compared full and normalised, short names
// expanded (fs::LongFullPath).
#pragma once

#include <string>
#include <vector>

#include "formats/log_format.h"

namespace zub {

struct TRemovalPlaces {
    std::string InstallFolder;              // the folder of the running Uninstall.exe
    std::vector<std::string> Programs;      // Start-menu Programs folders, the user's and everyone's
    std::vector<std::string> Desktops;      // the user's and everyone's
};

enum class TPlaceVerdict { Allowed, Outside, NotAShortcut };

// `base` is set to the folder that allows the entry, below which the
// removal must pass through no link.
TPlaceVerdict PlaceOf(TLogEntryKind kind, const std::string& path, const TRemovalPlaces& places, std::string& base);

// Whether an UninstallString value ("\"C:\App\Uninstall.exe\"" with or
// without arguments, or unquoted) starts the uninstaller at `self`.
bool UninstallStringNames(const std::string& command, const std::string& self);

// Whether a removal of `path` may be left to the next restart: only below
// one of `restartFolders`, places no unelevated program can change (the
// program-files folders, everyone's Start menu and desktop). Elsewhere a
// folder on the way could be swapped for a link before the restart, and the
// system would then delete whatever the link points at.
bool MayRemoveAtRestart(const std::string& path, const std::vector<std::string>& restartFolders);

}  // namespace zub
