// The setup works in Windows-1252: archive entry names and the texts it
// shows. The tool works in the user's locale (UTF-8 on Linux). These convert
// between the two and find UTF-8 where Windows-1252 is expected.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zub::tool {

// Nothing when `text` is not valid UTF-8 or holds a character Windows-1252
// cannot.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// Always possible; the five bytes Windows-1252 leaves undefined become the
// control characters of the same number, as Windows converts them.
std::string Windows1252ToUtf8(std::string_view text);

// The 1-based line of the first UTF-8 multi-byte sequence in `text`, which
// the setup would show as two to four Windows-1252 characters; 0 when none.
int FirstUtf8Line(std::string_view text);

// A file or folder name from the system, as an archive entry holds it.
// Raises zub::Error naming `sourcePath` when Windows-1252 cannot hold it.
std::string ArchiveName(const std::string& name, const std::string& sourcePath);

}  // namespace zub::tool
