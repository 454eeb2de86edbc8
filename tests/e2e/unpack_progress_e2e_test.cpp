// End-to-end: the progress window of a long unpacking at start-up. It shows
// for a large payload and is gone before the wizard or an error box shows;
// a small payload never shows it.
#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "base/file.h"
#include "shell/shell.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"

namespace zub::e2e {

extern std::string g_stub;

namespace {

using Bytes = std::vector<unsigned char>;

const char kSetupIni[] =
    "[SkinSetup 1]\r\n"
    "Object=Setup\r\n"
    "RazederodezTitle=Test App\r\n"
    "Language=English\r\n"
    "end\r\n"
    "Object=Panel\r\n"
    "Bitmap=Graphics\\panel.bmp\r\n"
    "end\r\n";

// Text that compresses about as well as program files do, different per seed.
Bytes Text(size_t size, unsigned seed) {
    Bytes data(size);
    unsigned state = seed;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        data[i] = static_cast<unsigned char>("setup file window archive \r\n"[(state >> 24) % 28]);
    }
    return data;
}

class UnpackProgressRun : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        root_ = GetTempDir() + "zubprog" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        DeleteFolderTree(root_);
        tmp_ = root_ + "\\tmp\\";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
    }
    void TearDown() override { DeleteFolderTree(root_); }

    // A payload with Setup.ini, the graphics and `files` files of `size` bytes.
    Bytes Payload(int files, size_t size) {
        TZLBWriter gfx;
        gfx.AddBuffer("panel.bmp", Text(3000, 1));
        gfx.Save(root_ + "\\gfx.x");
        TZLBWriter payload;
        payload.CompressionLevel = fcFastest;
        payload.AddBuffer("Setup.ini", Bytes(kSetupIni, kSetupIni + sizeof kSetupIni - 1));
        payload.AddFile(root_ + "\\gfx.x", "gfx.x");
        for (int i = 0; i < files; ++i) payload.AddBuffer("file" + std::to_string(i) + ".dat", Text(size, unsigned(i)));
        payload.Save(root_ + "\\payload.x");
        return fs::ReadWholeFile(root_ + "\\payload.x");
    }
    Bytes LargePayload() { return Payload(1200, 48 * 1024); }

    std::string MakeSetup(const Bytes& payload) {
        const std::string exe = root_ + "\\TestSetup.exe";
        MakeSetupFromStub(g_stub, exe, payload);
        return exe;
    }

    bool WorkFolderLeft() {
        for (const fs::DirEntry& e : fs::ListDirectory(tmp_))
            if (e.name.rfind("ZCTemp", 0) == 0) return true;
        return false;
    }

    std::string root_, tmp_;
};

// Waits for a window of `className` while noting whether the progress window
// was ever seen, and what it said (a window on its way out may say nothing).
HWND WaitWatchingProgress(TSetupProcess& setup, const char* className, bool& progressSeen, std::string& text) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w : setup.Windows("TUnpackProgress")) {
            progressSeen = true;
            const std::string said = WindowText(w);
            if (!said.empty()) text = said;
        }
        const std::vector<HWND> windows = setup.Windows(className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    }, 60000);
    return found;
}

TEST_F(UnpackProgressRun, LargePayloadShowsProgressUntilTheWizardShows) {
    TSetupProcess setup(MakeSetup(LargePayload()), tmp_);
    ASSERT_TRUE(setup.Started());
    bool progressSeen = false;
    std::string text;
    HWND window = WaitWatchingProgress(setup, "TSetupForm", progressSeen, text);
    ASSERT_NE(window, nullptr) << "no wizard window";
    EXPECT_TRUE(progressSeen) << "no progress window";
    EXPECT_EQ(text.rfind("Unpacking setup files... ", 0), 0u) << text;
    EXPECT_EQ(text.empty() ? ' ' : text.back(), '%');
    EXPECT_TRUE(setup.Windows("TUnpackProgress", false).empty()) << "the progress window outlived the unpacking";
    EXPECT_TRUE(fs::FileExists(tmp_ + "ZCTemp1\\file1199.dat"));

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit(60000));
    EXPECT_EQ(setup.ExitCode(), 2u);  // cancelled by the user
    EXPECT_FALSE(WorkFolderLeft());
}

TEST_F(UnpackProgressRun, SmallPayloadNeverShowsProgress) {
    TSetupProcess setup(MakeSetup(Payload(20, 4096)), tmp_);
    ASSERT_TRUE(setup.Started());
    bool progressSeen = false;
    std::string text;
    HWND window = WaitWatchingProgress(setup, "TSetupForm", progressSeen, text);
    ASSERT_NE(window, nullptr) << "no wizard window";
    EXPECT_FALSE(progressSeen);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // cancelled by the user
}

TEST_F(UnpackProgressRun, DamagedLargePayloadEndsWithOneErrorBoxAndNoWorkFolder) {
    Bytes payload = LargePayload();
    // Damage the stream of the last file, and give the archive the CRC of
    // the damaged body, so that the damage is met late in the unpacking.
    {
        fs::File out = fs::File::Create(root_ + "\\payload.x");
        out.Write(payload.data(), payload.size());
    }
    TZLBArchive reader;
    reader.OpenArchive(root_ + "\\payload.x");
    const int lastIndex = reader.GetFileCount() - 1;
    const TZLBFileEntry last = reader.GetFileEntry(lastIndex);
    reader.CloseArchive();
    ASSERT_FALSE(last.Stored);
    payload[size_t(last.Offset) + size_t(last.StoredSize) / 2] ^= 0xFF;
    const size_t body = payload.size() - 36;
    const uint32_t crc = uint32_t(crc32(0, payload.data(), uInt(body)));
    for (int i = 0; i < 4; ++i) payload[body + size_t(i)] = static_cast<unsigned char>(crc >> (8 * i));

    TSetupProcess setup(MakeSetup(payload), tmp_);
    ASSERT_TRUE(setup.Started());
    bool progressSeen = false;
    std::string text;
    HWND box = WaitWatchingProgress(setup, "#32770", progressSeen, text);
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_TRUE(progressSeen) << "no progress window";
    EXPECT_EQ(MessageBoxText(box), "File (" + std::to_string(lastIndex) + ") is corrupt");
    EXPECT_TRUE(setup.Windows("TUnpackProgress", false).empty()) << "the progress window is still there";
    EXPECT_TRUE(setup.Windows("TSetupForm").empty());
    EXPECT_EQ(setup.Windows("#32770").size(), 1u);
    PressOk(box);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 3u);  // could not start
    EXPECT_FALSE(WorkFolderLeft());
}

}  // namespace
}  // namespace zub::e2e
