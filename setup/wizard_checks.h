// What the wizard's pages read and check: the licence text, the entries of
// the user's Programs folder, and whether a destination or program folder
// chosen on the pages can be used by the installation.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

// Every lone carriage return or line feed becomes a CR LF pair; pairs stay.
std::string NormalizeLineBreaks(std::string_view text);

// The licence file's bytes as text with normalised line breaks. Raises
// zub::Error "Unable to open file (%s)" when the file cannot be read.
std::string LoadLicenceText(const std::string& path);

// One entry a folder search found.
struct TFoundEntry {
    std::string Name;
    bool Hidden = false;
    bool System = false;
};
// Searches a pattern such as "C:\Folder\*.*" and returns every match in the
// order the system enumerates them ("." and ".." included, if the system
// reports them). Empty when nothing matches or the folder cannot be read.
using TFindEntries = std::function<std::vector<TFoundEntry>(const std::string& pattern)>;

// The names the program-folder page lists from the user's Programs folder:
// files and folders alike, neither hidden nor system, not beginning with ".",
// in the order of enumeration. Nothing when the Programs folder is unknown ("").
std::vector<std::string> ProgramFolderEntries(const std::string& programsFolder, const TFindEntries& find);

// A destination the installation can build its paths on: a full path with a
// drive ("C:\...") or a network share ("\\server\share..."). Empty, relative,
// root-relative ("\App") and drive-relative ("C:App") paths are not.
bool IsUsableDestination(const std::string& destination);

// A program folder the platform can create below the Programs folder. A blank
// name is usable (the installation then makes no program folder); otherwise
// every "\"-separated part must be a name a folder may have: not empty, none
// of the characters < > : " / | ? * or control characters, not ending in a
// blank or a dot, and no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9).
bool IsUsableProgramFolder(const std::string& folder);

}  // namespace zub
