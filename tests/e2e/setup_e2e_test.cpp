// End-to-end: real setup.exe files with test payloads, started under the
// platform, watched from outside, and the file system checked afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_setup_win.h"
#include "tests/win32/skin_test_util_win.h"

namespace zub::e2e {
namespace {

const char kSetupIni[] =
    "[SkinSetup 1]\r\n"
    "Object=Setup\r\n"
    "TargetFile=App.exe\r\n"
    "Addfile=App.exe\r\n"
    "Addfile=Graphics\\panel.bmp\r\n"
    "RazederodezTitle=Test App\r\n"
    "Language=English\r\n"
    "end\r\n"
    "Object=Toolweb\r\n"
    "Top=20\r\n"
    "end\r\n"
    "Object=Panel\r\n"
    "Bitmap=Graphics\\panel.bmp\r\n"
    "InvisibleColor=16711935\r\n"
    "end\r\n";

class SetupRun : public ::testing::Test {
protected:
    void WriteFullProject() {
        project_.Write("Setup.ini", kSetupIni);
        project_.Write("App.exe", "MZ not really a program");
        project_.Write("Uninstall.exe", "MZ not really an uninstaller");
        project_.Write("Graphics\\panel.bmp", std::string(5000, 'p'));
        project_.Write("Graphics\\back.gif", "GIF89a");
        project_.Write("Sounds\\click.wav", "RIFF");
        project_.Write("Additional\\page.html", "<p>hello</p>");
        project_.Write("Additional\\other\\inner.txt", "nested archive content");
        project_.Write("Additional\\other\\deeper\\leaf.txt", "two levels down");
    }

    std::string Setup(const TBytes& payload) { return MakeSetup(Argument("stub"), folder_ / "TestSetup.exe", payload); }

    // Starts the setup and expects one error box with `expected` (and, when
    // given, a text of the system's after it), no wizard window, the exit
    // code of a setup that could not start and no work folder left.
    void ExpectStartupFailure(const TBytes& payload, const std::string& expected, bool systemReasonFollows = false) {
        TSetupProcess setup(Setup(payload), folder_.Temp());
        ASSERT_TRUE(setup.Started());
        HWND box = setup.WaitForBox();
        ASSERT_NE(box, nullptr) << "no error box";
        const std::string text = MessageBoxText(box);
        if (systemReasonFollows)
            EXPECT_EQ(text.substr(0, expected.size()), expected) << text;
        else
            EXPECT_EQ(text, expected);
        EXPECT_TRUE(setup.Windows("TSetupForm").empty()) << "the wizard window is showing";
        EXPECT_EQ(setup.Windows("#32770").size(), 1u);
        PressOk(box);
        EXPECT_TRUE(setup.Ends(3));  // could not start
        EXPECT_TRUE(folder_.WorkFolders().empty());
    }

    TTestFolder folder_;
    TTestProject project_{folder_ / "project"};
};

TEST_F(SetupRun, UnpacksEverythingShowsWindowAndRemovesWorkFolderOnClose) {
    WriteFullProject();
    for (const char* taken : {"ZCTemp1", "ZCTemp2", "ZCTemp3"}) ASSERT_TRUE(fs::CreateDir(folder_.Temp() + taken));
    TSetupProcess setup(Setup(project_.Payload()), folder_.Temp());
    ASSERT_TRUE(setup.Started());
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr) << "no wizard window";
    EXPECT_EQ(WindowText(window), "SetupForm");

    const std::string work = folder_.Temp() + "ZCTemp4\\";
    for (const char* file : {kPayloadFileName, kSetupScriptName, kGraphicsArchive, kSoundsArchive, "App.exe",
                             kUninstallerName, "Graphics\\panel.bmp", "Graphics\\back.gif", "Sounds\\click.wav",
                             "Additional\\page.html", "Additional\\other\\inner.txt",
                             "Additional\\other\\deeper\\leaf.txt"})
        EXPECT_TRUE(fs::FileExists(work + file)) << file;
    for (const char* archive : {kAdditionalArchive, "Additional\\other.x", "Additional\\other\\deeper.x"})
        EXPECT_FALSE(fs::PathExists(work + archive)) << archive;

    // Read-only entries must not keep the work folder alive.
    ASSERT_TRUE(fs::SetReadOnly(work + "Graphics\\panel.bmp", true));
    ASSERT_TRUE(fs::SetReadOnly(work + "Additional\\other", true));

    Close(window);
    EXPECT_TRUE(setup.Ends(2));  // closed: cancelled by the user
    EXPECT_FALSE(fs::PathExists(folder_.Temp() + "ZCTemp4"));
    EXPECT_EQ(folder_.WorkFolders(), (std::vector<std::string>{"ZCTemp1", "ZCTemp2", "ZCTemp3"}));  // not the setup's
}

TEST_F(SetupRun, ReusesTheFirstFreeNumber) {
    project_.Write("Setup.ini", kSetupIni);
    ASSERT_TRUE(fs::CreateDir(folder_.Temp() + "ZCTemp2"));
    TSetupProcess setup(Setup(project_.Payload()), folder_.Temp());
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(fs::FileExists(folder_.Temp() + "ZCTemp1\\Setup.ini"));
    EXPECT_TRUE(fs::DirectoryExists(folder_.Temp() + "ZCTemp1\\Sounds"));  // made even without snd.x
    Close(window);
    EXPECT_TRUE(setup.Ends(2));  // closed: cancelled by the user
    EXPECT_EQ(folder_.WorkFolders(), std::vector<std::string>{"ZCTemp2"});
}

TEST_F(SetupRun, WindowTakesSizeAndOutlineOfThePanelBitmap) {
    constexpr uint32_t kKey = 0xFF00FF;  // magenta: the same in RGB and in the Windows colour order
    auto rows = test::Solid(120, 90, 0x2050A0);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            bool corner = (x < 8 || x >= 112) && (y < 8 || y >= 82);
            bool hole = x >= 50 && x < 70 && y >= 30 && y < 40;
            bool rightRun = y == 45 && x >= 100;  // keyed up to the right edge
            if (corner || hole || rightRun) rows[y][x] = kKey;
        }
    project_.Write("Setup.ini", "[header]\r\nObject=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n");
    project_.WritePicture("Graphics\\panel.bmp", rows);

    TSetupProcess setup(Setup(project_.Payload()), folder_.Temp());
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 120);
    EXPECT_EQ(rect.bottom - rect.top, 90);
    test::TPixelSet expected;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            if (rows[y][x] != kKey) expected.insert({x, y});
    EXPECT_TRUE(test::WindowRegionPixels(window) == expected) << "the window region differs from the picture";
    Close(window);
    EXPECT_TRUE(setup.Ends(2));  // closed: cancelled by the user
}

TEST_F(SetupRun, FailsWithoutPayloadResource) { ExpectStartupFailure({}, "Win32-Fehler. Code: ", true); }

TEST_F(SetupRun, FailsWithoutGraphicsArchive) {
    ExpectStartupFailure(PayloadOf({{kSetupScriptName, kSetupIni}}, folder_ / "entries.x"), "Archive file not found");
}

TEST_F(SetupRun, FailsOnCorruptedPayload) {
    WriteFullProject();
    TBytes payload = project_.Payload();
    payload[payload.size() / 2] ^= 0x40;
    ExpectStartupFailure(payload, "The archive file appears to be corrupted");
}

TEST_F(SetupRun, FailsOnMalformedInteger) {
    project_.Write("Setup.ini", std::string(kSetupIni) + "Object=Button\r\nName=next\r\nAction=Forward\r\nTop=abc\r\nend\r\n");
    ExpectStartupFailure(project_.Payload(), "'abc' ist kein g\xfcltiger Integerwert");
}

TEST_F(SetupRun, FailsOnBlockWithoutEnd) {
    project_.Write("Setup.ini", std::string(kSetupIni) + "Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\n");
    ExpectStartupFailure(project_.Payload(), "Setup.ini, line 16: the block \"Object=Panel\" has no \"end\" line");
}

}  // namespace
}  // namespace zub::e2e
