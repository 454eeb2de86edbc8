#include "tools/name_encoding.h"

#include "base/error.h"
#include "base/file.h"
#include "tools/platform.h"

namespace zub::tool {
namespace {

// The characters of bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr char32_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CharOf(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte; }

std::optional<unsigned char> ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// The length of the valid UTF-8 multi-byte sequence at `text[at]`, 0 when
// there is none; the code point goes to `c`.
size_t MultiByteAt(std::string_view text, size_t at, char32_t& c) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, c = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        c = c << 6 | (next & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
    std::string result;
    for (size_t at = 0; at < text.size();) {
        char32_t c = static_cast<unsigned char>(text[at]);
        size_t length = 1;
        if (c >= 0x80) {
            length = MultiByteAt(text, at, c);
            if (length == 0) return std::nullopt;
        }
        const std::optional<unsigned char> byte = ByteOf(c);
        if (!byte) return std::nullopt;
        result += static_cast<char>(*byte);
        at += length;
    }
    return result;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string result;
    for (char byte : text) {
        const char32_t c = CharOf(static_cast<unsigned char>(byte));
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else if (c < 0x800) {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            result += static_cast<char>(0xE0 | (c >> 12));
            result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}

int FirstUtf8Line(std::string_view text) {
    int line = 1;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n') ++line;
        char32_t c;
        if (static_cast<unsigned char>(text[at]) >= 0xC2 && MultiByteAt(text, at, c)) return line;
    }
    return 0;
}

std::string ArchiveName(const std::string& name, const std::string& sourcePath) {
    if (std::optional<std::string> converted = LocaleToWindows1252(name)) return *converted;
    throw Error("The name of " + fs::NativePath(sourcePath) +
                " cannot be written in Windows-1252, the setup's character set: rename it");
}

}  // namespace zub::tool
