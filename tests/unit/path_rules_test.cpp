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

// A Windows full path has a drive or a share; one rooted on the current
// drive ("\\Temp", "/tmp") is normalised but is not full there.
TEST(PathRules, FullPathsAreNormalisedForComparison) {
    struct Case {
        const char* path;
        const char* normalised;
        bool driveOrShare;
    };
    const Case cases[] = {
        {"C:\\Program Files\\App", "c:\\program files\\app", true},
        {"C:/a//b\\\\", "c:\\a\\b", true},
        {"C:\\", "c:\\", true},
        {"C:\\a\\.\\b\\..\\c", "c:\\a\\c", true},
        {"C:\\a\\..", "c:\\", true},
        {"C:\\..", "", false},
        {"C:\\a\\..\\..\\b", "", false},
        {"\\\\Server\\Share\\a\\..\\b", "\\\\server\\share\\b", true},
        {"\\\\server\\share", "\\\\server\\share", true},
        {"\\\\server\\share\\..", "", false},
        {"\\\\server", "", false},
        {"\\\\?\\C:\\x", "", false},
        {"\\\\.\\PhysicalDrive0", "", false},
        {"/tmp/w/../x", "\\tmp\\x", false},
        {"\\Temp\\", "\\temp", false},
        {"a\\b", "", false},
        {"C:a", "", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalisedFullPath(c.path), c.normalised) << c.path;
        EXPECT_EQ(HasDriveOrShare(c.path), c.driveOrShare) << c.path;
    }
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
