// Rules for names and paths that come from outside the elevated setup: the
// payload's Setup.ini and archive entries, setup.log, the user's choices.
// A name relative to a folder must stay inside it, and must mean to Windows
// what it says (no device, no stream, nothing the system strips).
#pragma once

#include <string>
#include <string_view>

namespace zub {

// Why a name is refused; None when it is sound.
enum class TNameProblem {
    None,
    Empty,          // nothing, or an empty part ("a\\b", a trailing "\")
    Parent,         // a part "." or ".."
    Rooted,         // a drive ("C:"), a UNC prefix ("\\server") or a leading "\"
    Device,         // CON, PRN, AUX, NUL, COM0-9, LPT0-9, with or without an extension
    TrailingDot,    // a part ending in "." or " ", which Windows strips
    Colon,          // an alternate data stream ("a:b")
    Control,        // a control character or NUL
    Reserved,       // one of * ? " < > |
    TooLong,        // longer than a Windows path can be
};

// One part of a path: a file or folder name.
TNameProblem CheckNamePart(std::string_view part);
// A path relative to a folder, its parts joined by "\" or "/" ("docs\a.txt").
TNameProblem CheckRelativeName(std::string_view name);
// The problem in words, for messages ("names a device").
const char* NameProblemText(TNameProblem problem);

// A full path in the form paths are compared in: "/" read as "\", runs of
// "\" made one (the leading "\\" of a UNC path kept), "." parts dropped and
// ".." parts applied, no trailing "\" (a drive root keeps "C:\"), ASCII
// letters in lower case. "" when the path is not full ("X:\...",
// "\\server\share\..." or "\...") or ".." would climb above its root.
std::string NormalisedFullPath(std::string_view path);

// Whether `path` starts with a drive and a backslash ("C:\...") or names a
// share ("\\server\share..."): a full path on Windows. A path rooted on the
// current drive ("\Temp") or relative to a drive's current folder ("C:Temp")
// is not one.
bool HasDriveOrShare(std::string_view path);

// Whether `path` lies strictly inside `folder`, both compared as normalised
// full paths. False when either is not a full path. Short (8.3) names must
// have been expanded by the caller: the rule cannot see the disk.
bool IsPathInside(std::string_view path, std::string_view folder);

}  // namespace zub
