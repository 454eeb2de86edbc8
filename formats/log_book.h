// The log book: every folder, file and shortcut the setup makes, newest first.
// At the end of a successful setup it becomes "setup.log" in the destination
// folder, which the installed uninstaller reads, and the application's entry
// in the list of installed programs.
#pragma once

#include <deque>
#include <string>

#include "formats/log_format.h"

namespace zub {

// The platform's key that holds one subkey per installed program, below
// HKEY_LOCAL_MACHINE; a program's key name is appended directly.
inline constexpr const char kUninstallRootKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The key name used when neither the title nor the program's file name gives one.
inline constexpr const char kFallbackUninstallKeyName[] = "SkinSetup Application";

// True when `name`, appended to kUninstallRootKey, names a subkey and not the
// Uninstall key itself: it holds some character other than "\", blanks and
// control characters.
bool IsSoundUninstallKeyName(const std::string& name);

// The key name for the uninstall entry: the title when it is sound; otherwise
// the file name of `targetFile` without its extension ("bin\App.exe" -> "App"),
// trimmed, when that is sound; otherwise kFallbackUninstallKeyName. The owner
// sets the result into UninstallKeyName, so that the registry entry and the
// "KEY=" line of setup.log name the same key.
std::string ChooseUninstallKeyName(const std::string& title, const std::string& targetFile);

// The uninstaller's command: the folder of `logFileName` (with its trailing
// backslash) followed by "Uninstall.exe", in quotes, so that a folder with
// blanks ("C:\Program Files\...") is not cut at the first blank.
std::string UninstallCommand(const std::string& logFileName);

// "Unable to open or create the registry key HKEY_LOCAL_MACHINE\" + path.
std::string UninstallKeyError(const std::string& path);

class TSetupLogBook {
public:
    // The entries, the most recently added at index 0. Writing the log leaves
    // them as they are: the header lines are made at write time.
    std::deque<std::string> Lines;
    std::string LogFileName;       // full path of setup.log
    std::string UninstallKeyName;  // the program's subkey below kUninstallRootKey
    std::string DisplayName;       // the name the program is listed under

    // Each adds "DIRECTORY=", "COPYFILE=" or "LINK=" followed by the path
    // unchanged as the new first line; duplicates are kept.
    void AddDirectoryEntry(const std::string& path);
    void AddFileEntry(const std::string& path);
    void AddLinkEntry(const std::string& path);

    // UninstallKeyName when it is sound, else kFallbackUninstallKeyName: the
    // name both the registry entry and the "KEY=" line use, so neither can
    // point at the Uninstall key itself.
    std::string EffectiveUninstallKeyName() const;

    // The whole content of setup.log: "SetupLOG", "NAME=" + DisplayName,
    // "KEY=" + the effective key name, then Lines; every line ends in CR LF.
    std::string LogText() const;

    // Writes LogText() to LogFileName, replacing an existing file. Raises
    // "Datei %s kann nicht erstellt werden" when the file cannot be created.
    // Any number of calls write the same file.
    void SaveLog() const;


private:
    void AddEntry(TLogEntryKind kind, const std::string& path);
};

}  // namespace zub
