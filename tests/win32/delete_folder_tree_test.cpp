// Folder removal on the real Windows file system, with its attributes and
// sharing rules.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

void WriteFile(const std::string& path, const char* text) {
    fs::File file = fs::File::Create(path);
    file.Write(text, strlen(text));
}

TEST(GetTempDir, EndsWithBackslashAndExists) {
    std::string temp = GetTempDir();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(fs::DirectoryExists(temp));
}

// A folder of the test's own to fill and remove.
class DeleteFolderTreeTest : public ::testing::Test {
protected:
    const TTempFolder temp_{"zubdelete."};
    const std::string top_ = temp_.Folder();
};

TEST_F(DeleteFolderTreeTest, RemovesReadOnlyHiddenAndNestedEntries) {
    ASSERT_TRUE(fs::ForceDirectories(top_ + "\\a\\b\\c"));
    WriteFile(top_ + "\\ro.txt", "r");
    WriteFile(top_ + "\\a\\b\\c\\deep.txt", "d");
    WriteFile(top_ + "\\a\\hidden.txt", "h");
    ASSERT_TRUE(fs::SetReadOnly(top_ + "\\ro.txt", true));
    ASSERT_TRUE(SetFileAttributesA((top_ + "\\a\\hidden.txt").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(fs::SetReadOnly(top_ + "\\a\\b", true));

    DeleteFolderTree(top_);
    EXPECT_FALSE(fs::PathExists(top_));
}

TEST_F(DeleteFolderTreeTest, UndeletableNestedFileNamesTopFolderAndSubFolder) {
    ASSERT_TRUE(fs::ForceDirectories(top_ + "\\sub"));
    WriteFile(top_ + "\\other.txt", "o");
    std::string locked = top_ + "\\sub\\locked.txt";
    WriteFile(locked, "l");
    // Held open without delete sharing: the file cannot be deleted.
    HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    try {
        DeleteFolderTree(top_);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Aborted deleting Directory: " + top_ + "file: sub");
    }
    EXPECT_FALSE(fs::PathExists(top_ + "\\other.txt"));  // the rest went
    EXPECT_TRUE(fs::PathExists(locked));
    CloseHandle(h);
    DeleteFolderTree(top_);
    EXPECT_FALSE(fs::PathExists(top_));
}

TEST(FileLayer, CreateOverFolderRaisesCreationError) {
    const TTempFolder temp("zubfile.");
    const std::string path = temp / "taken";
    ASSERT_TRUE(fs::CreateDir(path));
    try {
        fs::File::Create(path);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Datei " + path + " kann nicht erstellt werden");
    }
}

}  // namespace
}  // namespace zub
