// The format of setup.log, the record of an installation: the setup writes it
// (TSetupLogBook) and the uninstaller reads it, both through these names.
//
//   SetupLOG                     the signature, always the first line
//   NAME=<display name>
//   KEY=<uninstall key name>
//   DIRECTORY=<full path>        the entries, newest first, one kind per
//   COPYFILE=<full path>         prefix; nothing is quoted or escaped
//   LINK=<full path of a .lnk>
//
// Single-byte ANSI text; every line, the last one included, ends in CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zub {

inline constexpr char kLogSignature[] = "SetupLOG";
inline constexpr char kLogNamePrefix[] = "NAME=";
inline constexpr char kLogKeyPrefix[] = "KEY=";
inline constexpr char kLogLineEnd[] = "\r\n";

enum class TLogEntryKind { Directory, File, Link };

// "DIRECTORY=", "COPYFILE=" or "LINK=".
const char* LogEntryPrefix(TLogEntryKind kind);

// The prefix followed by the path, unchanged.
std::string FormatLogEntry(TLogEntryKind kind, const std::string& path);

struct TLogEntryLine {
    TLogEntryKind Kind;
    std::string Path;  // everything after the prefix, "=" signs included
};

// The entry a line holds; nothing when it starts with none of the three
// prefixes (which are compared exactly, case and all).
std::optional<TLogEntryLine> ParseLogEntry(std::string_view line);

}  // namespace zub
