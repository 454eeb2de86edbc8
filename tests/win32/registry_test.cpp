// The registry helpers on a key of the test's own (the prefix's real shell
// folder values are left alone).
#include "shell/registry_win.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "tests/win32/registry_test_util.h"

namespace zub {
namespace {

const char kTestKey[] = "Software\\SkinSetupTests\\Registry";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(raw_);
        test::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\SkinSetupTests");
    }
    void Set(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(raw_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }

    HKEY raw_ = nullptr;
};

TEST_F(RegistryTest, ReadsTextValuesAsStored) {
    const std::string longText(5000, 'L');
    Set("Plain", REG_SZ, std::string("C:\\Program Files", 17));
    Set("Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x", 9));
    Set("Unterminated", REG_SZ, "abc");
    Set("Empty", REG_SZ, "");
    Set("Long", REG_SZ, longText + '\0');
    Set("Ansi", REG_SZ, std::string("M\xfcller", 7));
    RegKey key = OpenKeyForReading(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(key.valid());
    struct {
        const char* name;
        std::string expected;
    } cases[] = {{"Plain", "C:\\Program Files"}, {"Expand", "%TEMP%\\x"}, {"Unterminated", "abc"},
                 {"Empty", ""},                  {"Long", longText},       {"Ansi", "M\xfcller"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadStringValue(key, c.name), c.expected);
    }
    EXPECT_EQ(ReadStringValue(key, "Missing"), std::nullopt);
}

TEST_F(RegistryTest, NonTextValueRaisesTheDataTypeError) {
    const DWORD number = 7;
    Set("Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
    Set("Blob", REG_BINARY, std::string("\x01\x02", 2));
    Set("List", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    RegKey key = OpenKeyForReading(HKEY_CURRENT_USER, kTestKey);
    for (const char* name : {"Number", "Blob", "List"}) {
        EXPECT_EQ(ErrorOf([&] { ReadStringValue(key, name); }),
                  std::string("Ung\xfcltiger Datentyp f\xfcr '") + name + "'");
    }
}

TEST_F(RegistryTest, KeysForReadingAreNeverCreated) {
    EXPECT_FALSE(OpenKeyForReading(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Missing").valid());
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Missing"));
}

TEST_F(RegistryTest, WritesTextValuesAndReportsARefusedWrite) {
    RegKey key = CreateKeyForWriting(HKEY_CURRENT_USER, std::string(kTestKey) + "\\New\\Nested");
    ASSERT_TRUE(key.valid());
    WriteStringValue(key, "Name", "A = B");
    EXPECT_EQ(test::ListValues(HKEY_CURRENT_USER, std::string(kTestKey) + "\\New\\Nested"),
              (std::map<std::string, test::TRegValue>{{"Name", test::SzValue("A = B")}}));

    // A key opened only for reading refuses values.
    RegKey readOnly = OpenKeyForReading(HKEY_CURRENT_USER, kTestKey);
    EXPECT_EQ(ErrorOf([&] { WriteStringValue(readOnly, "Name", "x"); }), "Konnte Daten f\xfcr 'Name' nicht setzen");
}

}  // namespace
}  // namespace zub
