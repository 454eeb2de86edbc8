// Folder removal on the real Windows file system, with its attributes and
// sharing rules.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"
#include "setup/work_folder.h"

namespace zub {
namespace {

std::string MakeTestFolder() {
    std::string folder = MakeWorkFolder(GetTempDir());
    return folder;
}

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

TEST(DeleteFolderTree, RemovesReadOnlyHiddenAndNestedEntries) {
    std::string top = MakeTestFolder();
    ASSERT_TRUE(fs::ForceDirectories(top + "\\a\\b\\c"));
    WriteFile(top + "\\ro.txt", "r");
    WriteFile(top + "\\a\\b\\c\\deep.txt", "d");
    WriteFile(top + "\\a\\hidden.txt", "h");
    ASSERT_TRUE(fs::SetReadOnly(top + "\\ro.txt", true));
    ASSERT_TRUE(SetFileAttributesA((top + "\\a\\hidden.txt").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(fs::SetReadOnly(top + "\\a\\b", true));

    DeleteFolderTree(top);
    EXPECT_FALSE(fs::PathExists(top));
}

TEST(DeleteFolderTree, UndeletableNestedFileNamesTopFolderAndSubFolder) {
    std::string top = MakeTestFolder();
    ASSERT_TRUE(fs::ForceDirectories(top + "\\sub"));
    WriteFile(top + "\\other.txt", "o");
    std::string locked = top + "\\sub\\locked.txt";
    WriteFile(locked, "l");
    // Held open without delete sharing: the file cannot be deleted.
    HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    try {
        DeleteFolderTree(top);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Aborted deleting Directory: " + top + "file: sub");
    }
    EXPECT_FALSE(fs::PathExists(top + "\\other.txt"));  // the rest went
    EXPECT_TRUE(fs::PathExists(locked));
    CloseHandle(h);
    DeleteFolderTree(top);
    EXPECT_FALSE(fs::PathExists(top));
}

TEST(FileLayer, CreateOverFolderRaisesCreationError) {
    std::string top = MakeTestFolder();
    std::string path = top + "\\taken";
    ASSERT_TRUE(fs::CreateDir(path));
    try {
        fs::File::Create(path);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Datei " + path + " kann nicht erstellt werden");
    }
    DeleteFolderTree(top);
}

}  // namespace
}  // namespace zub
