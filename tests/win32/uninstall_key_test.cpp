// The uninstall entry under HKEY_LOCAL_MACHINE, and setup.log naming the same key.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"
#include "formats/log_book.h"
#include "formats/uninstall_entry.h"
#include "setup/uninstall_key_win.h"
#include "shell/temp_folder.h"
#include "tests/win32/registry_test_util.h"

namespace zub {
namespace {

using Values = std::map<std::string, test::TRegValue>;

const std::string kRoot = kUninstallRootKey;

class UninstallKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        book_.LogFileName = folder_ + "\\setup.log";
        rootValues_ = test::ListValues(HKEY_LOCAL_MACHINE, kRoot);
    }
    void TearDown() override {
        for (const char* key : {"SkinSetupTest = App 1", "SkinSetupTest Maker", kFallbackUninstallKeyName, "Tool"})
            test::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRoot + key);
        // Whatever happened, the Uninstall key itself got no values.
        EXPECT_EQ(test::ListValues(HKEY_LOCAL_MACHINE, kRoot), rootValues_);
    }
    void SetTitle(const std::string& title) { book_.UninstallKeyName = book_.DisplayName = title; }
    void Write() {
        data_.Destination = folder_;
        data_.TargetFile = "App.exe";
        WriteUninstallEntry(UninstallEntryOf(book_, data_, {12, "20261208"}));
    }
    Values Expected(const std::string& title) const {
        const std::string command = "\"" + folder_ + "\\Uninstall.exe\"";
        Values values = {
            {"DisplayName", test::SzValue(title)},
            {"UninstallString", test::SzValue(command)},
            {"QuietUninstallString", test::SzValue(command + " /S")},
            {"DisplayIcon", test::SzValue(folder_ + "\\App.exe,0")},
            {"InstallLocation", test::SzValue(folder_)},
            {"EstimatedSize", test::DwordValue(12)},
            {"InstallDate", test::SzValue("20261208")},
            {"NoModify", test::DwordValue(1)},
            {"NoRepair", test::DwordValue(1)},
        };
        if (!data_.Version.empty()) values["DisplayVersion"] = test::SzValue(data_.Version);
        if (!data_.Publisher.empty()) values["Publisher"] = test::SzValue(data_.Publisher);
        return values;
    }

    const TTempFolder temp_{"zubkey."};
    const std::string folder_ = temp_.Folder();
    TSetupLogBook book_;
    TSetupData data_;
    Values rootValues_;
};

TEST_F(UninstallKeyTest, NewKeyGetsExactlyTheEntrysValues) {
    SetTitle("SkinSetupTest = App 1");
    Write();
    EXPECT_EQ(test::ListValues(HKEY_LOCAL_MACHINE, kRoot + "SkinSetupTest = App 1"), Expected("SkinSetupTest = App 1"));
}

TEST_F(UninstallKeyTest, ExistingKeyKeepsItsOtherValuesAndLosesAnOldVersion) {
    const std::string path = kRoot + "SkinSetupTest = App 1";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const char* name : {"DisplayName", "UninstallString", "Comments", "DisplayVersion"})
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
    RegCloseKey(key);

    SetTitle("SkinSetupTest = App 1");
    data_.Publisher = "Maker";
    Write();
    Values expected = Expected("SkinSetupTest = App 1");
    expected["Comments"] = test::SzValue("old");  // not ours: it stays
    EXPECT_EQ(test::ListValues(HKEY_LOCAL_MACHINE, path), expected);
    EXPECT_EQ(ReadInstallLocation("SkinSetupTest = App 1"), folder_);
    EXPECT_EQ(ReadInstallLocation("SkinSetupTest = no such key"), "");
}

TEST_F(UninstallKeyTest, BackslashesInTheTitleMakeANestedKey) {
    SetTitle("SkinSetupTest Maker\\Suite\\App");
    Write();
    EXPECT_EQ(test::ListValues(HKEY_LOCAL_MACHINE, kRoot + "SkinSetupTest Maker\\Suite\\App"),
              Expected("SkinSetupTest Maker\\Suite\\App"));
    EXPECT_TRUE(test::ListValues(HKEY_LOCAL_MACHINE, kRoot + "SkinSetupTest Maker").empty());
}

TEST_F(UninstallKeyTest, EmptyTitleUsesTheProgramNameForKeyAndLog) {
    // What the finishing actions do: one chosen name for both.
    book_.UninstallKeyName = ChooseUninstallKeyName("", "bin\\Tool.exe");
    book_.DisplayName = "";
    book_.AddDirectoryEntry(folder_);
    Write();
    book_.SaveLog();
    EXPECT_EQ(test::ListValues(HKEY_LOCAL_MACHINE, kRoot + "Tool"), Expected(""));
    std::vector<unsigned char> log = fs::ReadWholeFile(book_.LogFileName);
    EXPECT_EQ(std::string(log.begin(), log.end()), "SetupLOG\r\nNAME=\r\nKEY=Tool\r\nDIRECTORY=" + folder_ + "\r\n");
}

TEST_F(UninstallKeyTest, BlankKeyNameLeftByTheOwnerUsesTheFixedName) {
    for (const char* name : {"", "\\", " \\\\ "}) {
        SCOPED_TRACE(name);
        book_.UninstallKeyName = name;
        book_.DisplayName = "SkinSetupTest";
        Write();
        EXPECT_EQ(test::ListValues(HKEY_LOCAL_MACHINE, kRoot + kFallbackUninstallKeyName), Expected("SkinSetupTest"));
    }
}

TEST_F(UninstallKeyTest, KeyThatCannotBeMadeRaisesAnErrorNamingIt) {
    SetTitle(std::string(300, 'k'));  // longer than a key name may be
    try {
        Write();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        const std::string expected = UninstallKeyError(kRoot + book_.UninstallKeyName);
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected) << e.what();
    }
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, kRoot + book_.UninstallKeyName));
}

}  // namespace
}  // namespace zub
