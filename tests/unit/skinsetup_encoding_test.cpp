// Names and texts between the user's locale (UTF-8 here) and the setup's Windows-1252.
#include <gtest/gtest.h>

#include "base/error.h"
#include "tools/name_encoding.h"

namespace zub::tool {
namespace {

TEST(NameEncoding, Utf8ToWindows1252) {
    struct TCase {
        const char* Utf8;
        const char* Expected;  // nullptr: refused
    };
    const TCase cases[] = {
        {"Readme.txt", "Readme.txt"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e.txt",
         "Gr\xF6\xDF"
         "e.txt"},
        {"\xE2\x82\xAC 5 \xE2\x80\x93 \xC5\x92uvre", "\x80 5 \x96 \x8Cuvre"},  // euro, en dash, OE ligature
        {"\xC2\xA0\xC3\xBF", "\xA0\xFF"},
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", nullptr},  // Japanese
        {"\xF0\x9F\x98\x80", nullptr},              // an emoji
        {"\xC2\x80", nullptr},                      // U+0080: byte 0x80 is the euro sign
        {"Gr\xF6\xDF"
         "e.txt",
         nullptr},                      // already Windows-1252: not UTF-8
        {"\xC3", nullptr},              // cut short
        {"\xC0\xAF", nullptr},          // overlong "/"
        {"\xED\xA0\x80", nullptr},      // a surrogate
        {"\xF4\x90\x80\x80", nullptr},  // beyond U+10FFFF
    };
    for (const TCase& c : cases) {
        const std::optional<std::string> result = Utf8ToWindows1252(c.Utf8);
        if (c.Expected)
            EXPECT_EQ(result, std::optional<std::string>(c.Expected)) << c.Utf8;
        else
            EXPECT_FALSE(result) << c.Utf8;
    }
}

TEST(NameEncoding, EveryWindows1252ByteGoesToUtf8AndBack) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, char(byte));
        const std::string utf8 = Windows1252ToUtf8(one);
        EXPECT_EQ(utf8.size() > 1, byte >= 0x80) << byte;
        EXPECT_EQ(Utf8ToWindows1252(utf8), std::optional<std::string>(one)) << byte;
    }
    EXPECT_EQ(Windows1252ToUtf8("\x80\x9F\xE4"), "\xE2\x82\xAC\xC5\xB8\xC3\xA4");
}

TEST(NameEncoding, FindsTheFirstLineWithUtf8) {
    EXPECT_EQ(FirstUtf8Line("plain\r\ntext\r\n"), 0);
    EXPECT_EQ(FirstUtf8Line("F\xFCr alle\r\n\xC4rger\r\n"), 0);  // Windows-1252 umlauts
    EXPECT_EQ(FirstUtf8Line("one\r\ntwo\r\nf\xC3\xBCr\r\n"), 3);
    EXPECT_EQ(FirstUtf8Line("a\nb\n\xE2\x80\x9Cquoted\xE2\x80\x9D"), 3);
}

TEST(NameEncoding, ArchiveNameRefusesWithTheFilesPath) {
    EXPECT_EQ(ArchiveName("Gr\xC3\xB6\xC3\x9F"
                          "e.txt",
                          "/p/Gr\xC3\xB6\xC3\x9F"
                          "e.txt"),
              "Gr\xF6\xDF"
              "e.txt");
    try {
        ArchiveName("\xE6\x97\xA5.txt", "/p/sub/\xE6\x97\xA5.txt");
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The name of /p/sub/\xE6\x97\xA5.txt cannot be written in Windows-1252, the setup's character set: "
                  "rename it");
    }
}

}  // namespace
}  // namespace zub::tool
