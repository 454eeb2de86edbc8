// The folders' security descriptors as the system reads them, and folders
// made with them through the file layer.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "base/folder_access.h"
#include "shell/shell.h"
#include "setup/work_folder.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

struct TAce {
    std::string Trustee;  // as SDDL text ("S-1-5-18")
    DWORD Mask;
    BYTE Flags;
};

std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return "?";
    std::string result = text;
    LocalFree(text);
    return result;
}

// What the system's own parser makes of the text: the owner, whether the
// access list is protected, and its entries. Owner "" when it fails.
struct TParsed {
    std::string Owner;
    bool Protected = false;
    std::vector<TAce> Aces;
};

TParsed Parse(const std::string& sddl) {
    TParsed parsed;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr)) return parsed;
    PSID owner = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    PACL dacl = nullptr;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorOwner(sd, &owner, &defaulted);
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    GetSecurityDescriptorControl(sd, &control, &revision);
    parsed.Owner = owner ? SidText(owner) : "(none)";
    parsed.Protected = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; present && dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        parsed.Aces.push_back({SidText(&allowed->SidStart), allowed->Mask, allowed->Header.AceFlags});
    }
    LocalFree(sd);
    return parsed;
}

constexpr BYTE kInherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
constexpr char kSystem[] = "S-1-5-18", kAdministrators[] = "S-1-5-32-544", kUsers[] = "S-1-5-32-545";

TEST(FolderAccessOnWindows, TheSystemReadsTheDescriptorsAsMeant) {
    const TAccount account = CurrentAccount();
    ASSERT_EQ(account.UserSid.rfind("S-1-5-", 0), 0u) << account.UserSid;

    const TParsed elevated = Parse(PrivateFolderAccess({true, account.UserSid}));
    EXPECT_EQ(elevated.Owner, kAdministrators);
    EXPECT_TRUE(elevated.Protected);
    ASSERT_EQ(elevated.Aces.size(), 2u);
    EXPECT_EQ(elevated.Aces[0].Trustee, kSystem);
    EXPECT_EQ(elevated.Aces[1].Trustee, kAdministrators);
    for (const TAce& ace : elevated.Aces) {
        EXPECT_EQ(ace.Mask, DWORD(FILE_ALL_ACCESS));
        EXPECT_EQ(ace.Flags, kInherited);
    }

    const TParsed user = Parse(PrivateFolderAccess({false, account.UserSid}));
    EXPECT_EQ(user.Owner, account.UserSid);
    EXPECT_TRUE(user.Protected);
    ASSERT_EQ(user.Aces.size(), 1u);
    EXPECT_EQ(user.Aces[0].Trustee, account.UserSid);
    EXPECT_EQ(user.Aces[0].Mask, DWORD(FILE_ALL_ACCESS));

    const TParsed programFiles = Parse(ProgramFilesAccess());
    EXPECT_EQ(programFiles.Owner, kAdministrators);
    EXPECT_TRUE(programFiles.Protected);
    ASSERT_EQ(programFiles.Aces.size(), 3u);
    EXPECT_EQ(programFiles.Aces[2].Trustee, kUsers);
    EXPECT_EQ(programFiles.Aces[2].Mask, DWORD(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
    EXPECT_EQ(programFiles.Aces[2].Flags, kInherited);
}

TEST(FolderAccessOnWindows, AFolderIsMadeWithItsDescriptorOrNotAtAll) {
    const TTempFolder temp("zubaccess.");
    const std::string base = temp.Path() + "private";
    ASSERT_TRUE(fs::CreateDir(base, PrivateFolderAccess(CurrentAccount())));
    // The program itself can use what it made: files and folders inside.
    ASSERT_TRUE(fs::CreateDir(base + "\\sub"));
    fs::File file = fs::File::Create(base + "\\sub\\a.txt");
    file.Write("x", 1);
    file.Close();
    EXPECT_TRUE(fs::FileExists(base + "\\sub\\a.txt"));
    EXPECT_FALSE(fs::CreateDir(base, ProgramFilesAccess())) << "made twice";

    // A descriptor the system cannot read: an error, and no folder.
    EXPECT_THROW(fs::CreateDir(base + "\\bad", "D:P(A;OICI;FA;;;nobody)"), Error);
    EXPECT_FALSE(fs::PathExists(base + "\\bad"));
    TWorkFolderGuard guard;
    EXPECT_THROW(OpenWorkFolder(guard, base + "\\", "O:BAD:P(X)"), Error);
    EXPECT_FALSE(fs::PathExists(base + "\\ZCTemp1"));
}

}  // namespace
}  // namespace zub
