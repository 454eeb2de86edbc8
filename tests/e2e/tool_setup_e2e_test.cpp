// End-to-end: the demo setup made by skinsetup (without the platform's
// resource updater) starts, unpacks its payload and cleans up; its payload
// resource reads the same as one put in with UpdateResourceA.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "archive/pe_resource.h"
#include "base/file.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"

namespace zub::e2e {
namespace {

class ToolSetup : public ::testing::Test {
protected:
    const std::string& setup_ = Argument("setup");  // made by the tool
    const std::string& stub_ = Argument("stub");    // the setup.exe it was made from
    TTestFolder folder_;
};

TEST_F(ToolSetup, StartsUnpacksAndRemovesItsWorkFolder) {
    TSetupProcess setup(setup_, folder_.Temp());
    ASSERT_TRUE(setup.Started());
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr) << "no wizard window";
    const std::string work = folder_.Temp() + "ZCTemp1\\";
    for (const char* file : {kPayloadFileName, kSetupScriptName, kGraphicsArchive, "DemoApp.exe", kUninstallerName,
                             "Licence.txt", "ReadMe.txt",
                             "Graphics\\panel.bmp", "Graphics\\back_pressed.bmp", "Graphics\\next_over.gif",
                             "Graphics\\cancel_disabled.jpg", "Additional\\docs\\Manual.txt"})
        EXPECT_TRUE(fs::FileExists(work + file)) << file;
    EXPECT_FALSE(fs::PathExists(work + kAdditionalArchive));
    Close(window);
    EXPECT_TRUE(setup.Ends(2));  // cancelled by the user
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

TEST_F(ToolSetup, PayloadReadsTheSameAsWithUpdateResource) {
    const std::vector<unsigned char> payload = ReadPayloadResource(fs::ReadWholeFile(setup_));
    const std::string updated = folder_ / "Updated.exe";
    MakeSetupFromStub(stub_, updated, payload);
    EXPECT_EQ(ReadPayloadResource(fs::ReadWholeFile(updated)), payload);
    for (const std::string& exe : {setup_, updated}) {
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module) << exe;
        HRSRC info = FindResourceA(module, kPayloadResourceName, MAKEINTRESOURCEA(10));
        ASSERT_TRUE(info) << exe;
        const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, info)));
        EXPECT_EQ(std::vector<unsigned char>(data, data + SizeofResource(module, info)), payload) << exe;
        FreeLibrary(module);
    }
}

std::string ManifestOf(const std::string& exe) {
    std::string text;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return text;
    if (HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        text.assign(static_cast<const char*>(LockResource(LoadResource(module, info))), SizeofResource(module, info));
    FreeLibrary(module);
    return text;
}

TEST_F(ToolSetup, KeepsTheStubsManifest) {
    const std::string manifest = ManifestOf(stub_);
    ASSERT_NE(manifest.find("requireAdministrator"), std::string::npos);
    EXPECT_EQ(ManifestOf(setup_), manifest);
}

}  // namespace
}  // namespace zub::e2e
