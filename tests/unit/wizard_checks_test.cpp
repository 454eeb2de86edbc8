#include "setup/wizard_checks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

TEST(LicenceText, LoneBreaksBecomePairs) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"", ""},
        {"a\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"a\n\rb", "a\r\n\r\nb"},  // LF then CR: two lone breaks
        {"\r\r\n\n", "\r\n\r\n\r\n"},
        {"end\r", "end\r\n"},
        {std::string("x\0y\n", 4), std::string("x\0y\r\n", 5)},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalizeLineBreaks(c.in), c.out) << c.in;
}

TEST(LicenceText, LoadsFileBytesAndRaisesWhenMissing) {
    const TTempFolder folder;
    const std::string path = folder / "licence.txt";
    {
        fs::File f = fs::File::Create(path);
        const std::string text = "Terms\nf\xFCr alle\r";
        f.Write(text.data(), text.size());
    }
    EXPECT_EQ(LoadLicenceText(path), "Terms\r\nf\xFCr alle\r\n");
    fs::RemoveFile(path);
    EXPECT_THROW(LoadLicenceText(path), Error);
}

TEST(ProgramsFolder, ListsVisibleFilesAndFoldersInEnumerationOrder) {
    std::string searched;
    const TFindEntries find = [&](const std::string& pattern) {
        searched = pattern;
        return std::vector<TFoundEntry>{
            {".", false, false},       {"..", false, false},     {"Zeta", false, false},
            {"Hidden", true, false},   {".x", false, false},     {"Tools.lnk", false, false},
            {"System", false, true},   {"Alpha", false, false},  {"desktop.ini", true, true},
        };
    };
    EXPECT_EQ(ProgramFolderEntries("C:\\Menu\\Programs", find),
              (std::vector<std::string>{"Zeta", "Tools.lnk", "Alpha"}));
    EXPECT_EQ(searched, "C:\\Menu\\Programs\\*.*");
    ProgramFolderEntries("C:\\Menu\\Programs\\", find);
    EXPECT_EQ(searched, "C:\\Menu\\Programs\\*.*");
}

TEST(ProgramsFolder, UnknownFolderListsNothingAndSearchesNothing) {
    bool called = false;
    const TFindEntries find = [&](const std::string&) {
        called = true;
        return std::vector<TFoundEntry>{{"Root", false, false}};
    };
    EXPECT_TRUE(ProgramFolderEntries("", find).empty());
    EXPECT_FALSE(called);
}

TEST(Destination, OnlyFullPathsAreUsable) {
    for (const char* good : {"C:\\", "C:\\Program Files\\App", "d:/apps", "C:\\Apps\\", "\\\\server\\share\\App"})
        EXPECT_TRUE(IsUsableDestination(good)) << good;
    for (const char* bad : {"", " ", "App", "\\App", "\\", "C:", "C:App", "1:\\x", "\\\\", "\\\\\\x", " C:\\App"})
        EXPECT_FALSE(IsUsableDestination(bad)) << bad;
}

TEST(ProgramFolder, NamesThePlatformCanCreate) {
    for (const char* good : {"", "   ", "App", "My App 2.0", " Leading blank", "Company\\App", "NULL", "Console",
                             "COM10", "Caf\xE9"})
        EXPECT_TRUE(IsUsableProgramFolder(good)) << good;
    for (const char* bad : {"a<b", "a>b", "a:b", "a\"b", "a/b", "a|b", "a?b", "a*b", "tab\there", "App ", "App.",
                            ".", "..", "Company\\", "\\App", "a\\\\b", "Company.\\App", "CON", "nul", "Aux.txt",
                            "com1", "LPT9", "Company\\PRN"})
        EXPECT_FALSE(IsUsableProgramFolder(bad)) << bad;
}

}  // namespace
}  // namespace zub
