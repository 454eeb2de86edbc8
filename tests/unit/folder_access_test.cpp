#include "base/folder_access.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace zub {
namespace {

const char kUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

// The trustees the descriptor's access entries name, in order ("SY", "BA", a SID).
std::vector<std::string> Trustees(const std::string& sddl) {
    std::vector<std::string> names;
    for (size_t open = sddl.find('('); open != std::string::npos; open = sddl.find('(', open + 1)) {
        const size_t close = sddl.find(')', open);
        const size_t last = sddl.rfind(';', close);
        names.push_back(sddl.substr(last + 1, close - last - 1));
    }
    return names;
}

TEST(FolderAccess, AnElevatedWorkFolderLetsInNeitherTheUserNorAnyoneButSystemAndAdministrators) {
    const std::string elevated = PrivateFolderAccess({true, kUser});
    EXPECT_EQ(elevated.find(kUser), std::string::npos) << "the unelevated token shares the user's SID";
    EXPECT_EQ(Trustees(elevated), (std::vector<std::string>{"SY", "BA"}));
    // Owned by Administrators, who alone may change its rights.
    EXPECT_EQ(elevated, "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");

    const std::string user = PrivateFolderAccess({false, kUser});
    EXPECT_EQ(Trustees(user), (std::vector<std::string>{kUser}));
    EXPECT_EQ(user, "O:" + std::string(kUser) + "D:P(A;OICI;FA;;;" + kUser + ")");
    EXPECT_EQ(ProgramFilesAccess(), "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)");

    EXPECT_EQ(Trustees(ProgramFilesAccess()), (std::vector<std::string>{"SY", "BA", "BU"}));
    // Protected from what the parent would hand down, handed down to everything below.
    for (const std::string& sddl : {elevated, user, ProgramFilesAccess()}) {
        EXPECT_NE(sddl.find("D:P("), std::string::npos) << sddl;
        for (size_t at = sddl.find('('); at != std::string::npos; at = sddl.find('(', at + 1))
            EXPECT_EQ(sddl.substr(at, 8), "(A;OICI;") << sddl;
    }
}

TEST(FolderAccess, OnlyASidIsSplicedIntoTheDescriptor) {
    for (const char* bad : {"", "S-1-", "S-1-5-", "S-1-5--21", "S-2-5", "1-5-21", "S-1-5-21)(A;OICI;FA;;;WD",
                            "S-1-5-21 ", "WD"})
        EXPECT_THROW(PrivateFolderAccess({false, bad}), Error) << bad;
    EXPECT_NO_THROW(PrivateFolderAccess({false, "S-1-22-1-1000"}));
    EXPECT_NO_THROW(PrivateFolderAccess({true, ""}));  // elevated, the SID is not used
}

}  // namespace
}  // namespace zub
