// The payload read from memory instead of from Data.Zub, the progress of a
// whole unpacking, and the rules of the start-up progress window.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "archive/payload.h"
#include "archive/pe_resource.h"
#include "archive/unpack_progress.h"
#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "archive_test_util.h"
#include "pe_test_util.h"
#include "setup/unpack_feedback.h"

namespace zub {
namespace {

using test::ArchiveOf;
using test::Bytes;
using test::FilesUnder;

// Sets the trailer's CRC to that of the body, so that damage inside goes
// past the CRC test and is met by the extraction.
void FixCrc(Bytes& archive) {
    const size_t body = archive.size() - kTrailerSize;
    const uint32_t crc = uint32_t(crc32(0, archive.data(), uInt(body)));
    for (int i = 0; i < 4; ++i) archive[body + size_t(i)] = static_cast<unsigned char>(crc >> (8 * i));
}

struct Outcome {
    std::string error;
    std::map<std::string, Bytes> files;
};

Outcome Extract(const Bytes& archive, bool inMemory) {
    TTempFolder dir;
    test::WriteBytes(dir / "a.zub", archive);
    TZLBArchive reader;
    Outcome outcome;
    outcome.error = test::ErrorOf([&] {
        if (inMemory)
            reader.OpenArchiveInMemory(dir / "a.zub", archive.data(), archive.size());
        else
            reader.OpenArchive(dir / "a.zub");
        reader.ExtractArchive(dir / "out/");
    });
    if (test::Exists(dir / "out")) outcome.files = FilesUnder(dir / "out");
    return outcome;
}

TEST(ArchiveInMemory, GivesWhatTheFileGivesForSoundAndDamagedArchives) {
    TTempFolder scratch;
    const Bytes good = ArchiveOf({{"a.txt", test::TextData(70000)},
                                  {"b.bin", test::NoiseData(9000)},
                                  {"empty", {}},
                                  {"c.txt", test::TextData(300000)}},
                                 scratch);
    std::vector<Bytes> cases = {good};
    // Damage at many places of the entries, with and without a matching CRC,
    // a cut file and a trailer pointing outside the file.
    for (size_t at = 0; at < good.size() - kTrailerSize; at += good.size() / 23) {
        Bytes damaged = good;
        damaged[at] ^= 0x5A;
        cases.push_back(damaged);
        FixCrc(damaged);
        cases.push_back(damaged);
    }
    cases.push_back(Bytes(good.begin() + 10, good.end()));
    Bytes wild = good;
    wild[wild.size() - kTrailerSize + 16] = 0x7F;  // DirectoryOffset
    FixCrc(wild);
    cases.push_back(wild);

    for (size_t i = 0; i < cases.size(); ++i) {
        const Outcome fromFile = Extract(cases[i], false);
        const Outcome fromMemory = Extract(cases[i], true);
        EXPECT_EQ(fromMemory.error, fromFile.error) << "case " << i;
        EXPECT_TRUE(fromMemory.files == fromFile.files) << "case " << i;
    }
    EXPECT_EQ(Extract(good, true).files.size(), 4u);
}

TEST(ArchiveInMemory, NeedsTheFileToExistAndForgetsTheMemoryOnClose) {
    TTempFolder dir;
    const Bytes archive = ArchiveOf({{"a.txt", test::TextData(100)}}, dir);
    TZLBArchive reader;
    EXPECT_EQ(test::ErrorOf([&] { reader.OpenArchiveInMemory(dir / "missing.zub", archive.data(), archive.size()); }),
              "Archive file not found");
    test::WriteBytes(dir / "a.zub", archive);
    ASSERT_TRUE(reader.OpenArchiveInMemory(dir / "a.zub", archive.data(), archive.size()));
    reader.CloseArchive();
    // Opened again from the file, which now differs from that memory.
    test::WriteBytes(dir / "a.zub", ArchiveOf({{"b.txt", test::TextData(50)}}, dir));
    reader.OpenArchive(dir / "a.zub");
    reader.ExtractArchive(dir / "out/");
    EXPECT_TRUE(test::Exists(dir / "out/b.txt"));
    EXPECT_FALSE(test::Exists(dir / "out/a.txt"));
}

class UnpackFromExecutable : public ::testing::Test {
protected:
    // A setup-like executable whose payload has graphics, sounds and an
    // archive of additional files with a nested one.
    void MakeSetup() {
        for (const char* sub : {"Graphics", "Sounds", "Additional"}) std::filesystem::create_directories(work / sub);
        const Bytes nested = ArchiveOf({{"inner.txt", test::TextData(20000)}}, scratch);
        const Bytes payload = ArchiveOf(
            {{"Setup.ini", test::ToBytes("[Setup]\n")},
             {"App.exe", test::NoiseData(150000)},
             {"gfx.x", ArchiveOf({{"panel.bmp", test::TextData(90000)}}, scratch)},
             {"snd.x", ArchiveOf({{"click.wav", test::NoiseData(7000)}}, scratch)},
             {"Additional.x", ArchiveOf({{"page.html", test::TextData(40000)}, {"help.x", nested}}, scratch)}},
            scratch);
        payloadBytes = payload;
        test::WriteBytes(scratch / "setup.exe", WritePayloadResource(test::MakeTestPe(), payload));
    }
    TTempFolder work, scratch;
    Bytes payloadBytes;
    TZLBArchive archiver;
};

TEST_F(UnpackFromExecutable, LeavesTheSameFilesAndReportsEveryByteOnce) {
    MakeSetup();
    std::vector<int> percents;
    TUnpackProgress progress([&](int percent) { percents.push_back(percent); });
    UnpackPayload(archiver, scratch / "setup.exe", work.Path(), &progress);

    EXPECT_EQ(test::ReadBytes(work / "Data.Zub"), payloadBytes);
    EXPECT_EQ(test::ReadBytes(work / "Graphics/panel.bmp"), test::TextData(90000));
    EXPECT_EQ(test::ReadBytes(work / "Sounds/click.wav"), test::NoiseData(7000));
    EXPECT_EQ(test::ReadBytes(work / "Additional/help/inner.txt"), test::TextData(20000));
    EXPECT_FALSE(test::Exists(work / "Additional.x"));
    EXPECT_FALSE(test::Exists(work / "Additional/help.x"));

    // Every nested archive has been opened, so the estimate has become exact.
    const int64_t written = 8 + 150000 + 90000 + 7000 + 40000 + 20000;
    EXPECT_EQ(progress.DoneBytes(), progress.TotalBytes());
    EXPECT_GT(progress.TotalBytes(), written);  // the archives written on the way count too
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_GE(percents.back(), 95);
    EXPECT_LE(percents.back(), 99);
    // The wizard's reader is left as it was found: no handlers.
    EXPECT_FALSE(archiver.OnProgress || archiver.OnFileExtracted || archiver.OnArchiveOpened);
}

// Data.Zub is written before its directory can be read: the pieces of that
// write are reported with the payload's size as the total, so that a large
// payload's feedback can show while a slow disk takes it.
TEST_F(UnpackFromExecutable, ALargePayloadReportsEachPieceOfItsFile) {
    std::filesystem::create_directories(work / "Graphics");
    const Bytes payload = ArchiveOf({{"Setup.ini", test::ToBytes("[Setup]\n")},
                                     {"App.exe", test::NoiseData(9 << 20)},
                                     {"gfx.x", ArchiveOf({{"panel.bmp", test::TextData(900)}}, scratch)}},
                                    scratch);
    test::WriteBytes(scratch / "setup.exe", WritePayloadResource(test::MakeTestPe(), payload));
    struct Report {
        int64_t total;
        int percent;
    };
    std::vector<Report> reports;
    TUnpackProgress* tracker = nullptr;
    TUnpackProgress progress([&](int percent) { reports.push_back({tracker->TotalBytes(), percent}); });
    tracker = &progress;
    UnpackPayload(archiver, scratch / "setup.exe", work.Path(), &progress);

    const size_t pieces = (payload.size() + TPayloadResource::kSavePieceBytes - 1) / TPayloadResource::kSavePieceBytes;
    ASSERT_EQ(pieces, 3u);
    ASSERT_GT(reports.size(), pieces);
    for (size_t i = 0; i < pieces; ++i) {
        EXPECT_EQ(reports[i].total, int64_t(payload.size())) << i;
        EXPECT_EQ(reports[i].percent, 0) << i;
    }
    // Once the directory is read the total is what it holds, and the file is whole.
    EXPECT_EQ(progress.TotalBytes(), progress.DoneBytes());
    EXPECT_NE(progress.TotalBytes(), int64_t(payload.size()));
    EXPECT_EQ(test::ReadBytes(work / "Data.Zub"), payload);
    EXPECT_EQ(test::ReadBytes(work / "App.exe"), test::NoiseData(9 << 20));
}

TEST_F(UnpackFromExecutable, DamageMetInMemoryFailsAsItDidFromTheFile) {
    MakeSetup();
    Bytes damaged = payloadBytes;
    damaged[damaged.size() / 3] ^= 0x01;  // inside App.exe, which is stored: FixCrc hides it
    FixCrc(damaged);
    test::WriteBytes(scratch / "setup.exe", WritePayloadResource(test::MakeTestPe(), damaged));
    UnpackPayload(archiver, scratch / "setup.exe", work.Path());
    EXPECT_NE(test::ReadBytes(work / "App.exe"), test::NoiseData(150000));  // stored data is not checked

    Bytes corrupted = payloadBytes;
    corrupted[corrupted.size() / 3] ^= 0x01;  // the CRC no longer matches
    test::WriteBytes(scratch / "setup.exe", WritePayloadResource(test::MakeTestPe(), corrupted));
    TZLBArchive other;
    EXPECT_EQ(test::ErrorOf([&] { UnpackPayload(other, scratch / "setup.exe", work.Path()); }),
              "The archive file appears to be corrupted");
    EXPECT_EQ(test::ReadBytes(work / "Data.Zub"), corrupted);  // written before it was read
}

TEST(UnpackFeedback, ShowsOnlyForLongLargeUnpackingsFarFromTheirEnd) {
    struct Case {
        int64_t elapsedMs, totalBytes;
        int percent;
        bool wanted;
    } cases[] = {
        {249, 100 << 20, 10, false},  {250, 100 << 20, 10, true},   {5000, (2 << 20) - 1, 0, false},
        {5000, 2 << 20, 0, true},     {5000, 100 << 20, 89, true},  {5000, 100 << 20, 90, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnpackFeedbackWanted(c.elapsedMs, c.totalBytes, c.percent), c.wanted)
            << c.elapsedMs << " ms, " << c.totalBytes << " bytes, " << c.percent << " %";
    EXPECT_EQ(UnpackFeedbackText(false, 42), "Unpacking setup files... 42%");
    EXPECT_EQ(UnpackFeedbackText(true, 7), "Setup-Dateien werden entpackt... 7%");
}

}  // namespace
}  // namespace zub
