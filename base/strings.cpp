#include "base/strings.h"

#include <cstdint>
#include <cstddef>

namespace zub {

namespace {

// One conversion's flags, width and precision.
struct TFieldFormat {
    bool left = false, zero = false, plus = false, space = false;
    int width = 0;
    int precision = -1;  // -1: none given
};

void Pad(std::string& out, size_t count, char fill) { out.append(count, fill); }

// `body` laid out in the field: sign (or blank) and body, padded to the width.
void PutField(std::string& out, const TFieldFormat& field, const char* sign, std::string_view body, bool zeroPadAllowed) {
    const size_t length = std::char_traits<char>::length(sign) + body.size();
    const size_t room = field.width > 0 && size_t(field.width) > length ? size_t(field.width) - length : 0;
    if (field.left) {
        out += sign;
        out += body;
        Pad(out, room, ' ');
    } else if (field.zero && zeroPadAllowed) {
        out += sign;
        Pad(out, room, '0');
        out += body;
    } else {
        Pad(out, room, ' ');
        out += sign;
        out += body;
    }
}

// Digits of `value` in `base`, at least `minDigits` of them.
std::string_view Digits(char (&buffer)[72], unsigned long long value, unsigned base, bool upper, int minDigits) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char* end = buffer + sizeof buffer;
    char* p = end;
    while (value != 0) {
        *--p = digits[value % base];
        value /= base;
    }
    if (minDigits > 64) minDigits = 64;
    while (end - p < minDigits) *--p = '0';
    return std::string_view(p, size_t(end - p));
}

void PutInteger(std::string& out, const TFieldFormat& field, unsigned long long magnitude, bool negative, unsigned base,
                bool upper) {
    char buffer[72];
    // Without a precision a zero prints as "0"; with precision 0 as nothing.
    const int minDigits = field.precision >= 0 ? field.precision : 1;
    const char* sign = negative ? "-" : field.plus ? "+" : field.space ? " " : "";
    PutField(out, field, sign, Digits(buffer, magnitude, base, upper, minDigits), field.precision < 0);
}

// Fixed notation with `precision` decimals (6 when none is given), rounded
// half away from zero; beyond what 64 bits hold the value prints as "inf".
void PutFixed(std::string& out, const TFieldFormat& field, double value) {
    const bool negative = value < 0;
    if (negative) value = -value;
    const char* sign = negative ? "-" : field.plus ? "+" : field.space ? " " : "";
    if (value != value) return PutField(out, field, "", "nan", false);
    int decimals = field.precision >= 0 ? field.precision : 6;
    if (decimals > 15) decimals = 15;
    unsigned long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const double scaled = value * double(scale) + 0.5;
    if (!(scaled < 18446744073709551615.0)) return PutField(out, field, sign, "inf", false);
    const unsigned long long units = static_cast<unsigned long long>(scaled);
    char buffer[72];
    std::string body(Digits(buffer, units / scale, 10, false, 1));
    if (decimals > 0) {
        body += '.';
        body += Digits(buffer, units % scale, 10, false, decimals);
    }
    PutField(out, field, sign, body, true);
}

}  // namespace

std::string FormatList(const char* format, va_list args) {
    std::string out;
    for (const char* p = format; *p;) {
        if (*p != '%') {
            const char* run = p;
            while (*p && *p != '%') ++p;
            out.append(run, size_t(p - run));
            continue;
        }
        ++p;
        TFieldFormat field;
        for (;; ++p) {
            if (*p == '-') field.left = true;
            else if (*p == '0') field.zero = true;
            else if (*p == '+') field.plus = true;
            else if (*p == ' ') field.space = true;
            else if (*p != '#') break;
        }
        if (*p == '*') {
            field.width = va_arg(args, int);
            if (field.width < 0) field.left = true, field.width = -field.width;
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') field.width = field.width * 10 + (*p++ - '0');
        }
        if (*p == '.') {
            ++p;
            field.precision = 0;
            if (*p == '*') {
                field.precision = va_arg(args, int);
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') field.precision = field.precision * 10 + (*p++ - '0');
            }
        }
        // Length: 0 int, 1 long, 2 long long, 3 size_t.
        int length = 0;
        if (*p == 'h') {
            while (*p == 'h') ++p;
        } else if (*p == 'l') {
            length = p[1] == 'l' ? 2 : 1;
            p += length;
        } else if (*p == 'z' || *p == 't') {
            length = 3;
            ++p;
        } else if (*p == 'j') {
            length = 2;
            ++p;
        } else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
            length = 2;
            p += 3;
        }
        const char conversion = *p;
        if (conversion) ++p;
        switch (conversion) {
            case 'd':
            case 'i': {
                long long value = length == 2 ? va_arg(args, long long)
                                  : length == 1 ? va_arg(args, long)
                                  : length == 3 ? static_cast<long long>(va_arg(args, ptrdiff_t))
                                                : va_arg(args, int);
                const bool negative = value < 0;
                PutInteger(out, field, negative ? 0ull - static_cast<unsigned long long>(value) : value, negative, 10,
                           false);
                break;
            }
            case 'u':
            case 'x':
            case 'X':
            case 'o': {
                unsigned long long value = length == 2 ? va_arg(args, unsigned long long)
                                           : length == 1 ? va_arg(args, unsigned long)
                                           : length == 3 ? va_arg(args, size_t)
                                                         : va_arg(args, unsigned);
                const unsigned base = conversion == 'u' ? 10 : conversion == 'o' ? 8 : 16;
                field.plus = field.space = false;
                PutInteger(out, field, value, false, base, conversion == 'X');
                break;
            }
            case 'p': {
                field.precision = int(2 * sizeof(void*));
                field.plus = field.space = false;
                PutInteger(out, field, reinterpret_cast<uintptr_t>(va_arg(args, void*)), false, 16, true);
                break;
            }
            case 'c': {
                const char c = static_cast<char>(va_arg(args, int));
                PutField(out, field, "", std::string_view(&c, 1), false);
                break;
            }
            case 's': {
                const char* text = va_arg(args, const char*);
                if (!text) text = "(null)";
                size_t size = 0;
                while (text[size] && (field.precision < 0 || size < size_t(field.precision))) ++size;
                PutField(out, field, "", std::string_view(text, size), false);
                break;
            }
            case 'f':
            case 'F': PutFixed(out, field, va_arg(args, double)); break;
            case '%': out += '%'; break;
            default:  // unknown or cut off: kept as written
                out += '%';
                if (conversion) out += conversion;
                break;
        }
    }
    return out;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = FormatList(format, args);
    va_end(args);
    return result;
}

std::string Trim(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return std::string(text.substr(begin, end - begin));
}

std::string LowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string CollapseBackslashes(std::string_view path) {
    std::string result;
    result.reserve(path.size());
    for (char c : path)
        if (!(c == '\\' && !result.empty() && result.back() == '\\')) result += c;
    if (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

static size_t NameStart(std::string_view path) {
    size_t pos = path.find_last_of("\\/:");
    return pos == std::string_view::npos ? 0 : pos + 1;
}

std::string ExtractFilePath(std::string_view path) {
    return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
    std::string_view name = path.substr(NameStart(path));
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

}  // namespace zub
