// The application manifest embedded in setup.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handles_win.h"

namespace zub {
namespace {

// setup.exe of this build, as a path Wine maps to the Unix one.
std::string SetupExePath() {
    std::string path = "Z:" SKINSETUP_SETUP_EXE;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ManifestOf(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return std::string();
    std::string text;
    if (HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        if (HGLOBAL data = LoadResource(module, info))
            text.assign(static_cast<const char*>(LockResource(data)), SizeofResource(module, info));
    FreeLibrary(module);
    return text;
}

TEST(SetupManifest, AsksForAdministratorCommonControlsAndSupportedSystems) {
    const std::string manifest = ManifestOf(SetupExePath());
    ASSERT_FALSE(manifest.empty()) << "no manifest resource in " << SetupExePath();
    for (const char* entry : {
             "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "publicKeyToken=\"6595b64144ccf1df\"",
             "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
         })
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos);
}

}  // namespace
}  // namespace zub
