#include "shell/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "base/file.h"

namespace zub {
namespace {

// Two at once never share a folder, and each goes with all it holds, a
// read-only file and a sub-folder too.
TEST(TempFolder, EachIsItsOwnAndGoesWithEverythingInIt) {
    std::string first, second;
    {
        const TTempFolder a("zubtemp."), b("zubtemp.");
        first = a.Path();
        second = b.Path();
        EXPECT_NE(first, second);
        EXPECT_EQ(first.back(), '/');
        EXPECT_EQ(a.Folder() + "/", first);
        ASSERT_TRUE(fs::ForceDirectories(a / "sub/deeper"));
        fs::File file = fs::File::Create(a / "sub/deeper/ro.txt");
        file.Write("x", 1);
        file.Close();
        ASSERT_TRUE(fs::SetReadOnly(a / "sub/deeper/ro.txt", true));
    }
    EXPECT_FALSE(fs::PathExists(first));
    EXPECT_FALSE(fs::PathExists(second));
}

}  // namespace
}  // namespace zub
