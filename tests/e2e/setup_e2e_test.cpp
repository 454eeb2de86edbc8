// End-to-end: real setup.exe files with test payloads, started under the
// platform, watched from outside, and the file system checked afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/payload_builder.h"
#include "archive/zlb_writer.h"
#include "base/file.h"
#include "shell/shell.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/win32/skin_test_util_win.h"

namespace zub::e2e {

std::string g_stub;  // the setup.exe under test, from the command line

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
    void SetUp() override {
        static int counter = 0;
        root_ = GetTempDir() + "zube2e" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        DeleteFolderTree(root_);
        tmp_ = root_ + "\\tmp\\";
        project_ = root_ + "\\project";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
        ASSERT_TRUE(fs::ForceDirectories(project_));
    }
    void TearDown() override { DeleteFolderTree(root_); }

    void Write(const std::string& relative, const std::string& text) {
        std::string path = project_ + "\\" + relative;
        fs::ForceDirectories(ExtractDir(path));
        fs::File file = fs::File::Create(path);
        file.Write(text.data(), text.size());
    }
    static std::string ExtractDir(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

    void WriteFullProject() {
        Write("Setup.ini", kSetupIni);
        Write("App.exe", "MZ not really a program");
        Write("Uninstall.exe", "MZ not really an uninstaller");
        Write("Graphics\\panel.bmp", std::string(5000, 'p'));
        Write("Graphics\\back.gif", "GIF89a");
        Write("Sounds\\click.wav", "RIFF");
        Write("Additional\\page.html", "<p>hello</p>");
        Write("Additional\\other\\inner.txt", "nested archive content");
        Write("Additional\\other\\deeper\\leaf.txt", "two levels down");
    }

    std::vector<unsigned char> PayloadOfProject() {
        std::string out = root_ + "\\payload.x";
        BuildPayload(project_, out);
        return fs::ReadWholeFile(out);
    }

    // A payload with just these entries (for payloads the builder would refuse to make).
    std::vector<unsigned char> PayloadOf(const std::vector<std::pair<std::string, std::string>>& entries) {
        TZLBWriter writer;
        for (const auto& [name, text] : entries) writer.AddBuffer(name, {text.begin(), text.end()});
        std::string out = root_ + "\\payload.x";
        writer.Save(out);
        return fs::ReadWholeFile(out);
    }

    std::string MakeSetup(const std::vector<unsigned char>& payload) {
        std::string exe = root_ + "\\TestSetup.exe";
        MakeSetupFromStub(g_stub, exe, payload);
        return exe;
    }

    std::vector<std::string> WorkFolders() {
        std::vector<std::string> names;
        for (const fs::DirEntry& e : fs::ListDirectory(tmp_))
            if (e.name.rfind("ZCTemp", 0) == 0) names.push_back(e.name);
        return names;
    }

    // Starts the setup and expects one error box with `expected` at its start,
    // no wizard window, a non-zero exit code and no work folder left.
    void ExpectStartupFailure(const std::vector<unsigned char>& payload, const std::string& expected) {
        TSetupProcess setup(MakeSetup(payload), tmp_);
        ASSERT_TRUE(setup.Started());
        HWND box = setup.WaitForWindow("#32770");
        ASSERT_NE(box, nullptr) << "no error box";
        EXPECT_EQ(MessageBoxText(box).substr(0, expected.size()), expected) << MessageBoxText(box);
        EXPECT_TRUE(setup.Windows("TSetupForm").empty()) << "the wizard window is showing";
        EXPECT_EQ(setup.Windows("#32770").size(), 1u);
        PressOk(box);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(setup.ExitCode(), 3u);  // could not start
        EXPECT_TRUE(WorkFolders().empty());
    }

    std::string root_, tmp_, project_;
};

TEST_F(SetupRun, UnpacksEverythingShowsWindowAndRemovesWorkFolderOnClose) {
    WriteFullProject();
    for (const char* taken : {"ZCTemp1", "ZCTemp2", "ZCTemp3"}) ASSERT_TRUE(fs::CreateDir(tmp_ + taken));
    TSetupProcess setup(MakeSetup(PayloadOfProject()), tmp_);
    ASSERT_TRUE(setup.Started());
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr) << "no wizard window";
    EXPECT_EQ(WindowText(window), "SetupForm");

    const std::string work = tmp_ + "ZCTemp4\\";
    for (const char* file : {"Data.Zub", "Setup.ini", "gfx.x", "snd.x", "App.exe", "Uninstall.exe",
                             "Graphics\\panel.bmp", "Graphics\\back.gif", "Sounds\\click.wav",
                             "Additional\\page.html", "Additional\\other\\inner.txt",
                             "Additional\\other\\deeper\\leaf.txt"})
        EXPECT_TRUE(fs::FileExists(work + file)) << file;
    EXPECT_FALSE(fs::PathExists(work + "Additional.x"));
    EXPECT_FALSE(fs::PathExists(work + "Additional\\other.x"));
    EXPECT_FALSE(fs::PathExists(work + "Additional\\other\\deeper.x"));

    // Read-only entries must not keep the work folder alive.
    ASSERT_TRUE(fs::SetReadOnly(work + "Graphics\\panel.bmp", true));
    ASSERT_TRUE(fs::SetReadOnly(work + "Additional\\other", true));

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // closed: cancelled by the user
    EXPECT_FALSE(fs::PathExists(tmp_ + "ZCTemp4"));
    EXPECT_EQ(WorkFolders().size(), 3u);  // the others are not the setup's
}

TEST_F(SetupRun, ReusesTheFirstFreeNumber) {
    Write("Setup.ini", kSetupIni);
    ASSERT_TRUE(fs::CreateDir(tmp_ + "ZCTemp2"));
    TSetupProcess setup(MakeSetup(PayloadOfProject()), tmp_);
    HWND window = setup.WaitForWindow("TSetupForm");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(fs::FileExists(tmp_ + "ZCTemp1\\Setup.ini"));
    EXPECT_TRUE(fs::DirectoryExists(tmp_ + "ZCTemp1\\Sounds"));  // made even without snd.x
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // closed: cancelled by the user
    EXPECT_FALSE(fs::PathExists(tmp_ + "ZCTemp1"));
    EXPECT_TRUE(fs::DirectoryExists(tmp_ + "ZCTemp2"));
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
    Write("Setup.ini", "[header]\r\nObject=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n");
    fs::ForceDirectories(project_ + "\\Graphics");
    test::WriteBmp(project_ + "\\Graphics\\panel.bmp", rows);

    TSetupProcess setup(MakeSetup(PayloadOfProject()), tmp_);
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
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // closed: cancelled by the user
}

TEST_F(SetupRun, FailsWithoutPayloadResource) {
    ExpectStartupFailure({}, "Win32-Fehler. Code: ");
}

TEST_F(SetupRun, FailsWithoutGraphicsArchive) {
    ExpectStartupFailure(PayloadOf({{"Setup.ini", kSetupIni}}), "Archive file not found");
}

TEST_F(SetupRun, FailsOnCorruptedPayload) {
    WriteFullProject();
    std::vector<unsigned char> payload = PayloadOfProject();
    payload[payload.size() / 2] ^= 0x40;
    ExpectStartupFailure(payload, "The archive file appears to be corrupted");
}

TEST_F(SetupRun, FailsOnMalformedInteger) {
    Write("Setup.ini", std::string(kSetupIni) + "Object=Button\r\nName=next\r\nAction=Forward\r\nTop=abc\r\nend\r\n");
    ExpectStartupFailure(PayloadOfProject(), "'abc' ist kein g\xfcltiger Integerwert");
}

TEST_F(SetupRun, FailsOnBlockWithoutEnd) {
    Write("Setup.ini", std::string(kSetupIni) + "Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\n");
    ExpectStartupFailure(PayloadOfProject(), "Setup.ini, line 16: the block \"Object=Panel\" has no \"end\" line");
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: setup_e2e_tests SETUP.EXE [gtest options]\n");
        return 2;
    }
    zub::e2e::g_stub = zub::e2e::WindowsPathOf(argv[1]);
    return RUN_ALL_TESTS();
}
