// Small string helpers for the single-byte (ANSI) strings the setup works with.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace zub {

// printf-style formatting into a std::string, by a formatter of our own (the
// C runtime's would bring its floating-point printing into every binary).
// It knows the flags - 0 + and blank, width and precision (also as *), the
// lengths h, hh, l, ll, z, t, j and I64, and the conversions d i u x X o c s
// p f and %%; f prints in fixed notation, other conversions are copied.
std::string FormatList(const char* format, va_list args);
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Removes leading and trailing blanks and control characters (bytes <= ' ').
std::string Trim(std::string_view text);

// ASCII-only lower case; bytes above 127 are left alone.
std::string LowerAscii(std::string_view text);
// ASCII-only upper case of one UTF-16 unit (resource names compare this way).
constexpr char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// Every run of backslashes becomes one, then a trailing backslash is removed.
std::string CollapseBackslashes(std::string_view path);

// The folder part of a path with its trailing separator ("C:\a\b.x" -> "C:\a\"),
// and the name after the last separator ("b.x"). Both "\" and "/" separate.
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
// The extension including its dot ("b.x" -> ".x"), or "" when there is none.
std::string ExtractFileExt(std::string_view path);

}  // namespace zub
