#include "base/path_rules.h"

#include <gtest/gtest.h>

namespace zub {
namespace {

TEST(PathRules, RelativeNamesThatLeaveTheirFolderOrMeanSomethingElseAreRefused) {
    struct Case {
        const char* name;
        TNameProblem problem;
    };
    const Case cases[] = {
        {"Setup.exe", TNameProblem::None},
        {"Additional\\docs\\read me.txt", TNameProblem::None},
        {"a/b.txt", TNameProblem::None},
        {"CONFIG.SYS", TNameProblem::None},
        {"console.txt", TNameProblem::None},
        {"COM10", TNameProblem::None},
        {".hidden", TNameProblem::None},
        {"", TNameProblem::Empty},
        {"a\\\\b", TNameProblem::Empty},
        {"docs\\", TNameProblem::Empty},
        {"..\\..\\x", TNameProblem::Parent},
        {"a\\..\\..\\x", TNameProblem::Parent},
        {"a/../x", TNameProblem::Parent},
        {".\\x", TNameProblem::Parent},
        {"a\\CON\\..", TNameProblem::Parent},  // ".." is named before the device
        {"C:\\x", TNameProblem::Rooted},
        {"c:x", TNameProblem::Rooted},
        {"\\\\server\\x", TNameProblem::Rooted},
        {"\\x", TNameProblem::Rooted},
        {"/x", TNameProblem::Rooted},
        {"CON", TNameProblem::Device},
        {"nul.txt", TNameProblem::Device},
        {"a\\Com1.log", TNameProblem::Device},
        {"LPT1", TNameProblem::Device},
        {"aux.tar.gz", TNameProblem::Device},
        {"PRN .txt", TNameProblem::Device},
        {"lpt0", TNameProblem::Device},
        {"a.", TNameProblem::TrailingDot},
        {"a \\b", TNameProblem::TrailingDot},
        {"x.exe ", TNameProblem::TrailingDot},
        {"a.txt:hidden", TNameProblem::Colon},
        {"ab:c\\d", TNameProblem::Colon},
        {"a\tb", TNameProblem::Control},
        {"a\x01", TNameProblem::Control},
        {"a*.txt", TNameProblem::Reserved},
        {"a|b", TNameProblem::Reserved},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckRelativeName(c.name), c.problem) << c.name;
    EXPECT_EQ(CheckRelativeName(std::string("a\0b", 3)), TNameProblem::Control);
    EXPECT_EQ(CheckRelativeName(std::string(300, 'a')), TNameProblem::TooLong);
    EXPECT_EQ(CheckNamePart("a\\b"), TNameProblem::Empty);  // one part never holds a separator
}

TEST(PathRules, FullPathsAreNormalisedForComparison) {
    struct Case {
        const char* path;
        const char* normalised;
    };
    const Case cases[] = {
        {"C:\\Program Files\\App", "c:\\program files\\app"},
        {"C:/a//b\\\\", "c:\\a\\b"},
        {"C:\\", "c:\\"},
        {"C:\\a\\.\\b\\..\\c", "c:\\a\\c"},
        {"C:\\a\\..", "c:\\"},
        {"C:\\..", ""},
        {"C:\\a\\..\\..\\b", ""},
        {"\\\\Server\\Share\\a\\..\\b", "\\\\server\\share\\b"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\server\\share\\..", ""},
        {"\\\\server", ""},
        {"\\\\?\\C:\\x", ""},
        {"\\\\.\\PhysicalDrive0", ""},
        {"/tmp/w/../x", "\\tmp\\x"},
        {"a\\b", ""},
        {"C:a", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalisedFullPath(c.path), c.normalised) << c.path;
}

TEST(PathRules, ContainmentIsDecidedOnNormalisedPaths) {
    struct Case {
        const char* path;
        const char* folder;
        bool inside;
    };
    const Case cases[] = {
        {"C:\\Temp\\ZCTemp1\\Setup.exe", "C:\\Temp\\ZCTemp1", true},
        {"c:\\temp\\zctemp1\\a\\b", "C:\\TEMP\\ZCTemp1\\", true},
        {"C:\\Temp\\ZCTemp1", "C:\\Temp\\ZCTemp1", false},     // the folder itself
        {"C:\\Temp\\ZCTemp10\\x", "C:\\Temp\\ZCTemp1", false},  // a sibling sharing the prefix
        {"C:\\Temp\\ZCTemp1\\..\\x", "C:\\Temp\\ZCTemp1", false},
        {"C:\\Temp\\ZCTemp1\\a\\..\\b", "C:\\Temp\\ZCTemp1", true},
        {"D:\\Temp\\ZCTemp1\\x", "C:\\Temp\\ZCTemp1", false},
        {"\\\\server\\share\\x", "C:\\Temp", false},
        {"C:\\x", "C:\\", true},
        {"ZCTemp1\\x", "ZCTemp1", false},  // relative: never inside
        {"C:\\App\\x", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPathInside(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
}

}  // namespace
}  // namespace zub
