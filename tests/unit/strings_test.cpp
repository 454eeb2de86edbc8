#include "base/strings.h"

#include <gtest/gtest.h>

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

}  // namespace zub
