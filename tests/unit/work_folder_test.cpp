#include "setup/work_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

class WorkFolderTest : public ::testing::Test {
protected:
    void Touch(const std::string& path) { std::ofstream(fs::NativePath(path)) << "x"; }

    TTempFolder folder_;
    const std::string temp_ = folder_.Path();
};

TEST_F(WorkFolderTest, TakesSmallestFreeNumber) {
    for (const char* taken : {"ZCTemp1", "ZCTemp2", "ZCTemp3"}) ASSERT_TRUE(fs::CreateDir(temp_ + taken));
    EXPECT_EQ(MakeWorkFolder(temp_), temp_ + "ZCTemp4");
    EXPECT_TRUE(fs::DirectoryExists(temp_ + "ZCTemp4"));
}

TEST_F(WorkFolderTest, ReusesGaps) {
    ASSERT_TRUE(fs::CreateDir(temp_ + "ZCTemp2"));
    EXPECT_EQ(MakeWorkFolder(temp_), temp_ + "ZCTemp1");
    EXPECT_EQ(MakeWorkFolder(temp_), temp_ + "ZCTemp3");
}

TEST_F(WorkFolderTest, FileOfTheSameNameIsPassedOver) {
    Touch(temp_ + "ZCTemp1");
    EXPECT_EQ(MakeWorkFolder(temp_), temp_ + "ZCTemp2");
}

TEST_F(WorkFolderTest, MissingTempDirectoryIsAnIoError) {
    try {
        MakeWorkFolder(temp_ + "missing\\");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Datei nicht gefunden");
    }
}

// Natively a private folder is one that only its owner may use.
TEST_F(WorkFolderTest, IsMadeWithTheGivenAccessAndItsSubFoldersInside) {
    TWorkFolderGuard guard;
    const std::string work = OpenWorkFolder(guard, temp_, "O:BAD:P(A;OICI;FA;;;SY)");
    EXPECT_EQ(work, temp_ + "ZCTemp1\\");
    struct stat st {};
    ASSERT_EQ(stat(fs::NativePath(work).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    for (const char* sub : {"Graphics", "Sounds", "Additional"}) EXPECT_TRUE(fs::DirectoryExists(work + sub)) << sub;
}

TEST_F(WorkFolderTest, NoTemporaryFolderOrARelativeOneMakesNothingInTheCurrentFolder) {
    char before[4096] = {};
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(chdir(fs::NativePath(temp_).c_str()), 0);
    ASSERT_TRUE(fs::CreateDir(temp_ + "relative"));
    for (const char* tempDir : {"", "relative\\", "relative/", "ZC"}) {
        TWorkFolderGuard guard;
        EXPECT_THROW(OpenWorkFolder(guard, tempDir, ""), Error) << tempDir;
        EXPECT_TRUE(guard.Folder().empty());
    }
    ASSERT_EQ(chdir(before), 0);
    const std::vector<fs::DirEntry> left = fs::ListDirectory(temp_);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "relative");
    EXPECT_TRUE(fs::ListDirectory(temp_ + "relative").empty());
}

TEST_F(WorkFolderTest, GuardRemovesTreeWithReadOnlyFilesAndNestedFolders) {
    std::string folder = MakeWorkFolder(temp_);
    {
        TWorkFolderGuard guard;
        guard.Set(folder);
        ASSERT_TRUE(fs::ForceDirectories(folder + "\\Additional\\inner\\deeper"));
        Touch(folder + "\\Data.Zub");
        Touch(folder + "\\Additional\\inner\\deeper\\page.html");
        ASSERT_TRUE(fs::SetReadOnly(folder + "\\Data.Zub", true));
        ASSERT_TRUE(fs::SetReadOnly(folder + "\\Additional\\inner", true));
    }
    EXPECT_FALSE(fs::PathExists(folder));
}

TEST_F(WorkFolderTest, RemovalNeverEntersALinkPlantedInOrForTheWorkFolder) {
    const std::string outside = temp_ + "outside";
    ASSERT_TRUE(fs::ForceDirectories(outside + "\\sub"));
    Touch(outside + "\\keep.txt");
    Touch(outside + "\\sub\\keep.txt");
    const std::string work = MakeWorkFolder(temp_);
    Touch(work + "\\Setup.ini");
    ASSERT_EQ(symlink(fs::NativePath(outside).c_str(), fs::NativePath(work + "\\planted").c_str()), 0);
    ASSERT_EQ(symlink(fs::NativePath(outside).c_str(), fs::NativePath(temp_ + "swapped").c_str()), 0);

    DeleteFolderTree(work);
    DeleteFolderTree(temp_ + "swapped");  // a work folder replaced by a link after its creation
    EXPECT_FALSE(fs::PathExists(work));
    EXPECT_FALSE(fs::IsLink(temp_ + "swapped"));
    EXPECT_TRUE(fs::FileExists(outside + "\\keep.txt"));
    EXPECT_TRUE(fs::FileExists(outside + "\\sub\\keep.txt"));
}

TEST_F(WorkFolderTest, DeleteFolderTreeOfMissingFolderDoesNothing) {
    EXPECT_NO_THROW(DeleteFolderTree(temp_ + "nothing-here"));
}

}  // namespace
}  // namespace zub
