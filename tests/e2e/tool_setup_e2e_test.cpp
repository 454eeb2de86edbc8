// End-to-end: the demo setup made by skinsetup (without the platform's
// resource updater) starts, unpacks its payload and cleans up; its payload
// resource reads the same as one put in with UpdateResourceA.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/pe_resource.h"
#include "base/file.h"
#include "shell/shell.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"

namespace zub::e2e {
namespace {

std::string g_setup;  // made by the tool, from the command line
std::string g_stub;   // the setup.exe it was made from

class ToolSetup : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = GetTempDir() + "zubtool" + std::to_string(GetCurrentProcessId());
        DeleteFolderTree(root_);
        tmp_ = root_ + "\\tmp\\";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
    }
    void TearDown() override { DeleteFolderTree(root_); }
    std::string root_, tmp_;
};

TEST_F(ToolSetup, StartsUnpacksAndRemovesItsWorkFolder) {
    TSetupProcess setup(g_setup, tmp_);
    ASSERT_TRUE(setup.Started());
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr) << "no wizard window";
    const std::string work = tmp_ + "ZCTemp1\\";
    for (const char* file : {"Data.Zub", "Setup.ini", "gfx.x", "DemoApp.exe", "Uninstall.exe", "Licence.txt", "ReadMe.txt",
                             "Graphics\\panel.bmp", "Graphics\\back_pressed.bmp", "Graphics\\next_over.gif",
                             "Graphics\\cancel_disabled.jpg", "Additional\\docs\\Manual.txt"})
        EXPECT_TRUE(fs::FileExists(work + file)) << file;
    EXPECT_FALSE(fs::PathExists(work + "Additional.x"));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // cancelled by the user
    EXPECT_FALSE(fs::PathExists(tmp_ + "ZCTemp1"));
}

TEST_F(ToolSetup, PayloadReadsTheSameAsWithUpdateResource) {
    const std::vector<unsigned char> payload = ReadPayloadResource(fs::ReadWholeFile(g_setup));
    const std::string updated = root_ + "\\Updated.exe";
    MakeSetupFromStub(g_stub, updated, payload);
    EXPECT_EQ(ReadPayloadResource(fs::ReadWholeFile(updated)), payload);
    for (const std::string& exe : {g_setup, updated}) {
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module) << exe;
        HRSRC info = FindResourceA(module, "ZUBTRESOR", MAKEINTRESOURCEA(10));
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
    const std::string manifest = ManifestOf(g_stub);
    ASSERT_NE(manifest.find("requireAdministrator"), std::string::npos);
    EXPECT_EQ(ManifestOf(g_setup), manifest);
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fprintf(stderr, "usage: tool_setup_e2e_tests SETUP.EXE STUB.EXE [gtest options]\n");
        return 2;
    }
    zub::e2e::g_setup = zub::e2e::WindowsPathOf(argv[1]);
    zub::e2e::g_stub = zub::e2e::WindowsPathOf(argv[2]);
    return RUN_ALL_TESTS();
}
