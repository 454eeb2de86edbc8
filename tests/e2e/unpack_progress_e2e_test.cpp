// End-to-end: the progress window of a long unpacking at start-up. It shows
// for a large payload and is gone before the wizard or an error box shows;
// a small payload never shows it.
#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "base/file.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/test_setup_win.h"

namespace zub::e2e {
namespace {

using Bytes = TBytes;

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
    // A payload with Setup.ini, the graphics and `files` files of `size` bytes.
    Bytes Payload(int files, size_t size) {
        TZLBWriter gfx;
        gfx.AddBuffer("panel.bmp", Text(3000, 1));
        gfx.Save(folder_ / kGraphicsArchive);
        TZLBWriter payload;
        payload.CompressionLevel = fcFastest;
        payload.AddBuffer(kSetupScriptName, Bytes(kSetupIni, kSetupIni + sizeof kSetupIni - 1));
        payload.AddFile(folder_ / kGraphicsArchive, kGraphicsArchive);
        for (int i = 0; i < files; ++i) payload.AddBuffer("file" + std::to_string(i) + ".dat", Text(size, unsigned(i)));
        payload.Save(Scratch());
        return fs::ReadWholeFile(Scratch());
    }
    Bytes LargePayload() { return Payload(1200, 48 * 1024); }
    std::string Scratch() const { return folder_ / "payload.x"; }

    std::string Setup(const Bytes& payload) { return MakeSetup(Argument("stub"), folder_ / "TestSetup.exe", payload); }

    TTestFolder folder_;
};

// What was seen while waiting for a window of a class: the window, whether
// the progress window ever showed, and what it said (a window on its way out
// may say nothing).
struct TWatched {
    HWND Window = nullptr;
    bool ProgressSeen = false;
    std::string Text;
};

TWatched WatchProgressUntil(TSetupProcess& setup, const char* className) {
    TWatched seen;
    WaitFor([&] {
        for (HWND w : setup.Windows("TUnpackProgress")) {
            seen.ProgressSeen = true;
            const std::string said = WindowText(w);
            if (!said.empty()) seen.Text = said;
        }
        const std::vector<HWND> windows = setup.Windows(className);
        seen.Window = windows.empty() ? nullptr : windows.front();
        return seen.Window != nullptr;
    }, 60000);
    return seen;
}

// What the progress window says at some point of the unpacking.
bool IsUnpackingText(const std::string& text) {
    for (int percent = 0; percent <= 100; ++percent)
        if (text == "Unpacking setup files... " + std::to_string(percent) + "%") return true;
    return false;
}

TEST_F(UnpackProgressRun, LargePayloadShowsProgressUntilTheWizardShows) {
    TSetupProcess setup(Setup(LargePayload()), folder_.Temp());
    const TWatched seen = WatchProgressUntil(setup, "TSetupForm");
    HWND window = seen.Window;
    ASSERT_NE(window, nullptr) << "no wizard window";
    EXPECT_TRUE(seen.ProgressSeen) << "no progress window";
    EXPECT_TRUE(IsUnpackingText(seen.Text)) << seen.Text;
    EXPECT_TRUE(setup.Windows("TUnpackProgress", false).empty()) << "the progress window outlived the unpacking";
    EXPECT_TRUE(fs::FileExists(folder_.Temp() + "ZCTemp1\\file1199.dat"));

    Close(window);
    EXPECT_TRUE(setup.Ends(2, 60000));  // cancelled by the user
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

TEST_F(UnpackProgressRun, SmallPayloadNeverShowsProgress) {
    TSetupProcess setup(Setup(Payload(20, 4096)), folder_.Temp());
    const TWatched seen = WatchProgressUntil(setup, "TSetupForm");
    HWND window = seen.Window;
    ASSERT_NE(window, nullptr) << "no wizard window";
    EXPECT_FALSE(seen.ProgressSeen);
    Close(window);
    EXPECT_TRUE(setup.Ends(2));  // cancelled by the user
}

TEST_F(UnpackProgressRun, DamagedLargePayloadEndsWithOneErrorBoxAndNoWorkFolder) {
    Bytes payload = LargePayload();
    // Damage the stream of the last file, and give the archive the CRC of
    // the damaged body, so that the damage is met late in the unpacking.
    TZLBArchive reader;
    reader.OpenArchive(Scratch());
    const int lastIndex = reader.GetFileCount() - 1;
    const TZLBFileEntry last = reader.GetFileEntry(lastIndex);
    reader.CloseArchive();
    ASSERT_FALSE(last.Stored);
    payload[size_t(last.Offset) + size_t(last.StoredSize) / 2] ^= 0xFF;
    const size_t body = payload.size() - 36;
    const uint32_t crc = uint32_t(crc32(0, payload.data(), uInt(body)));
    for (int i = 0; i < 4; ++i) payload[body + size_t(i)] = static_cast<unsigned char>(crc >> (8 * i));

    TSetupProcess setup(Setup(payload), folder_.Temp());
    const TWatched seen = WatchProgressUntil(setup, "#32770");
    HWND box = seen.Window;
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_TRUE(seen.ProgressSeen) << "no progress window";
    EXPECT_EQ(MessageBoxText(box), "File (" + std::to_string(lastIndex) + ") is corrupt");
    EXPECT_TRUE(setup.Windows("TUnpackProgress", false).empty()) << "the progress window is still there";
    EXPECT_TRUE(setup.Windows("TSetupForm").empty());
    EXPECT_EQ(setup.Windows("#32770").size(), 1u);
    PressOk(box);
    EXPECT_TRUE(setup.Ends(3));  // could not start
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

}  // namespace
}  // namespace zub::e2e
