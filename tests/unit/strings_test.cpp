#include "base/strings.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <climits>
#include <cstdio>

namespace zub {

TEST(Strings, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(Trim("  \t a b \r\n"), "a b");
    EXPECT_EQ(Trim("\x01\x1f"), "");
    EXPECT_EQ(Trim("\xe4x\xe4"), "\xe4x\xe4");  // bytes above 127 are characters
}

TEST(Strings, CollapseBackslashes) {
    EXPECT_EQ(CollapseBackslashes("C:\\a\\\\b\\\\\\"), "C:\\a\\b");
    EXPECT_EQ(CollapseBackslashes("\\\\server\\share"), "\\server\\share");
    EXPECT_EQ(CollapseBackslashes(""), "");
}

TEST(Strings, FileNameParts) {
    EXPECT_EQ(ExtractFilePath("W\\Additional.x"), "W\\");
    EXPECT_EQ(ExtractFileName("W\\Additional.x"), "Additional.x");
    EXPECT_EQ(ExtractFileExt("W\\Additional.x"), ".x");
    EXPECT_EQ(ExtractFileExt("W.d\\noext"), "");
    EXPECT_EQ(ExtractFilePath("name"), "");
}

// The C library's printf is the reference for every conversion our formatter knows.
template <typename... Args>
std::string Printf(const char* format, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

#define EXPECT_AS_PRINTF(...) EXPECT_EQ(Format(__VA_ARGS__), Printf(__VA_ARGS__)) << #__VA_ARGS__

TEST(Format, IntegersAsPrintf) {
    EXPECT_AS_PRINTF("%d|%d|%d|%i", 0, -7, INT_MIN, INT_MAX);
    EXPECT_AS_PRINTF("%5d|%-5d|%05d|%+d|% d|%.3d|%.0d|%8.3d", 42, 42, -42, 42, 42, 7, 0, -7);
    EXPECT_AS_PRINTF("%u|%02u|%04u%02u%02u", 4000000000u, 3u, 2024u, 1u, 9u);
    EXPECT_AS_PRINTF("%lu|%ld|%lld|%lld", ULONG_MAX, LONG_MIN, LLONG_MIN, LLONG_MAX);
    EXPECT_AS_PRINTF("%x|%X|%08" PRIx32 "|%.8lX|%o|%llx", 0xbeefu, 0xbeefu, uint32_t(0xc0de), 0x1234ul, 8u,
                     0xfedcba9876543210ull);
    EXPECT_AS_PRINTF("%zu|%hu|%hhd|%jd", size_t(123456), static_cast<unsigned short>(65535), 'A', intmax_t(-1));
    EXPECT_AS_PRINTF("%*d|%-*d|%.*d", 6, 1, 6, 2, 4, 3);
}

TEST(Format, TextsAsPrintf) {
    EXPECT_AS_PRINTF("Datei %s kann nicht erstellt werden", "C:\\x");
    EXPECT_AS_PRINTF("%-32s|%10s|%.2s|%-3c|%c|100%%", "name", "right", "cut", 'x', '\xe4');
    EXPECT_AS_PRINTF("%s", "");
}

TEST(Format, FixedPointAsPrintf) {
    EXPECT_AS_PRINTF("%.3f|%.3f|%.3f|%.0f|%f", 0.0, 12.3456, -0.0005, 2.75, 1.25);
    EXPECT_AS_PRINTF("%8.2f|%-8.1f|%08.3f|%+.1f", 3.14159, 2.0, -1.5, 9.96);
    EXPECT_EQ(Format("%.3f ms", 1234567.8915), "1234567.892 ms");  // the timeline's milliseconds
}

TEST(Format, LongResultsAndUnknownConversions) {
    const std::string long_text(5000, 'x');
    EXPECT_EQ(Format("<%s>", long_text.c_str()), "<" + long_text + ">");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
    EXPECT_EQ(Format("50%"), "50%");        // cut off after the percent sign
    EXPECT_EQ(Format("%q|%d", 5), "%q|5");  // unknown: copied, and takes no argument
#pragma GCC diagnostic pop
}

}  // namespace zub
