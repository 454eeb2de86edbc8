// Shell folders and shortcut files against the Wine prefix's own shell.
#include "shell/shell_win.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "base/file.h"
#include "base/handles_win.h"
#include "shell/temp_folder.h"
#include "tests/win32/link_reader_win.h"

namespace zub {
namespace {

using test::ReadLink;
using test::StoredShowCommand;
using test::TLinkContent;

std::string FolderPath(int csidl) {
    char path[MAX_PATH + 1] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? std::string(path) : std::string();
}

TEST(ShellFolders, ProgramFilesDirIsTheSystemsWithABackslash) {
    std::string dir = GetProgramFilesDir();
    EXPECT_EQ(dir, FolderPath(CSIDL_PROGRAM_FILES) + "\\");
    EXPECT_TRUE(fs::DirectoryExists(dir));
}

TEST(ShellFolders, ProgramsFolderIsTheUsersStartMenuPrograms) {
    std::string dir = GetProgramsFolder(nullptr);
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir, FolderPath(CSIDL_PROGRAMS));
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(fs::DirectoryExists(dir));
}

TEST(ShellFolders, ShellFolderValuesNameTheUsersFolders) {
    struct {
        int index;
        int csidl;
    } cases[] = {{0, CSIDL_DESKTOPDIRECTORY}, {4, CSIDL_PROGRAMS}, {7, CSIDL_STARTMENU}, {8, CSIDL_STARTUP}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        std::string dir = GetShellFolder(c.index);
        EXPECT_EQ(dir, FolderPath(c.csidl));
        EXPECT_TRUE(fs::DirectoryExists(dir));
    }
}

TEST(ShellFolders, IndexOutsideTheTableGivesNothing) {
    for (int index : {10, -1, 11, INT_MIN, INT_MAX}) EXPECT_EQ(GetShellFolder(index), "") << index;
}

class ShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        target_ = folder_ + "\\App.exe";
        fs::File::Create(target_).Write("MZ", 2);
        link_.Target = target_;
        link_.WorkingFolder = folder_;
        link_.Description = "App Title";
        link_.ShowCommand = SW_SHOWNORMAL;
    }
    void TearDown() override { CoUninitialize(); }

    const TTempFolder temp_{"zublink."};
    const std::string folder_ = temp_.Folder();
    std::string target_;
    TShellLink link_;
};

TEST_F(ShellLinkTest, SavedLinkReadsBackAsMade) {
    link_.Arguments = "/a \"b c\"";
    const std::string file = folder_ + "\\App Title.lnk";
    ASSERT_TRUE(CreateShellLink(file, link_));
    TLinkContent content = ReadLink(file);
    EXPECT_EQ(content.target, target_);
    EXPECT_EQ(content.arguments, "/a \"b c\"");
    EXPECT_EQ(content.workingFolder, folder_);
    EXPECT_EQ(content.description, "App Title");
    EXPECT_EQ(content.showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(StoredShowCommand(file), SW_SHOWNORMAL);
    EXPECT_EQ(content.hotkey, 0);
}

TEST_F(ShellLinkTest, IconAndHotkeyAreSetOnlyWhenAsked) {
    link_.IconFile = folder_ + "\\icon.ico";
    link_.IconIndex = 3;
    link_.Hotkey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    link_.ShowCommand = SW_SHOWMAXIMIZED;
    const std::string without = folder_ + "\\without.lnk", with = folder_ + "\\with.lnk";
    ASSERT_TRUE(CreateShellLink(without, link_));
    link_.UseIcon = link_.UseHotkey = true;
    ASSERT_TRUE(CreateShellLink(with, link_));

    TLinkContent plain = ReadLink(without), full = ReadLink(with);
    EXPECT_EQ(plain.iconFile, "");
    EXPECT_EQ(plain.hotkey, 0);
    EXPECT_EQ(full.iconFile, link_.IconFile);
    EXPECT_EQ(full.iconIndex, 3);
    EXPECT_EQ(full.hotkey, link_.Hotkey);
    EXPECT_EQ(StoredShowCommand(with), SW_SHOWMAXIMIZED);
}

TEST_F(ShellLinkTest, ExistingFileOfTheSameNameIsReplaced) {
    const std::string file = folder_ + "\\App.lnk";
    fs::File::Create(file).Write(std::string(4096, 'x').data(), 4096);
    ASSERT_TRUE(CreateShellLink(file, link_));
    link_.Description = "Second";
    link_.Arguments = "-2";
    ASSERT_TRUE(CreateShellLink(file, link_));
    TLinkContent content = ReadLink(file);
    EXPECT_EQ(content.description, "Second");
    EXPECT_EQ(content.arguments, "-2");
}

TEST_F(ShellLinkTest, LinkThatCannotBeSavedLeavesNoFileAndSaysSo) {
    for (const std::string& file : {folder_ + "\\missing\\App.lnk", folder_ + "\\a|b.lnk"}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(CreateShellLink(file, link_));
        EXPECT_FALSE(fs::PathExists(file));
    }
    EXPECT_FALSE(fs::PathExists(folder_ + "\\missing"));
}

}  // namespace
}  // namespace zub
