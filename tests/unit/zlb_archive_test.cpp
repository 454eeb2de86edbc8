#include "archive/zlb_archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "archive_test_util.h"
#include "base/file.h"

namespace zub {
namespace {

using test::Bytes;
using test::ErrorOf;
using test::RawEntry;

// A hand-made archive with the quirks producers leave: compressed entries
// with 03 00 00 and 02 00 00 after a zero Stored byte, a stored entry, and
// an empty one.
std::vector<RawEntry> QuirkyEntries() {
    return {RawEntry::Compressed("Setup.ini", test::TextData(5000), {3, 0, 0}),
            RawEntry::Compressed("panel.bmp", test::TextData(9000), {2, 0, 0}),
            RawEntry::Plain("photo.jpg", test::NoiseData(700)),
            RawEntry::Plain("empty.txt", {})};
}

class ArchiveTest : public ::testing::Test {
protected:
    std::string Put(const Bytes& bytes, const std::string& name = "a.zub") {
        test::WriteBytes(dir / name, bytes);
        return dir / name;
    }
    TTempFolder dir;
    TZLBArchive archive;
};

TEST_F(ArchiveTest, HandMadeArchiveReadsTheSameWithPlainAndCompressedDirectory) {
    const std::vector<RawEntry> entries = QuirkyEntries();
    const Bytes originals[] = {test::TextData(5000), test::TextData(9000), test::NoiseData(700), {}};
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        std::string out = dir / (compressed ? "c\\" : "p\\");
        ASSERT_TRUE(archive.OpenArchive(Put(test::BuildArchive(entries, compressed))));
        ASSERT_EQ(archive.GetFileCount(), 4);
        EXPECT_EQ(archive.Trailer().DirectoryCompressed, compressed);
        for (int i = 0; i < 4; ++i) {
            TZLBFileEntry e = archive.GetFileEntry(i);
            EXPECT_EQ(e.Name, entries[size_t(i)].name);
            EXPECT_EQ(e.Stored, entries[size_t(i)].storedByte != 0);
            EXPECT_EQ(e.Padding, entries[size_t(i)].padding);  // kept for a faithful round trip
        }
        archive.CheckCRC = true;
        archive.ExtractArchive(out);
        archive.CloseArchive();
        for (int i = 0; i < 4; ++i) EXPECT_EQ(test::ReadBytes(out + entries[size_t(i)].name), originals[i]);
    }
}

TEST_F(ArchiveTest, RecordEncodingGivesBackTheBytesItWasDecodedFrom) {
    Bytes archive = test::BuildArchive(QuirkyEntries(), false);
    size_t directoryOffset = archive.size() - 36 - 4 * 532;
    for (size_t i = 0; i < 4; ++i) {
        const unsigned char* record = archive.data() + directoryOffset + i * 532;
        FileEntryBytes again = EncodeFileEntry(DecodeFileEntry(record, 532));
        EXPECT_TRUE(std::equal(again.begin(), again.end(), record)) << i;
        // A record cut short is refused before any field is read.
        EXPECT_EQ(ErrorOf([&] { DecodeFileEntry(record, 531); }), "Directory record too short");
    }
    TrailerBytes trailer;
    std::copy(archive.end() - 36, archive.end(), trailer.begin());
    EXPECT_EQ(EncodeTrailer(DecodeTrailer(trailer)), trailer);
    EXPECT_EQ(DecodeTrailer(trailer).Reserved, 1);
}

// Each damaged archive and the exact message it must give, at open or at extraction.
struct DamageCase {
    const char* what;
    std::function<Bytes()> make;
    const char* message;
    bool extractWithPath = false;
};

Bytes Damaged(std::vector<RawEntry> entries, bool compressedDirectory, std::function<void(Bytes&)> change = {}) {
    Bytes archive = test::BuildArchive(entries, compressedDirectory);
    if (change) change(archive);
    return archive;
}

// One compressed entry whose record fields are changed by `change`.
std::function<Bytes()> EntryWith(std::function<void(RawEntry&)> change) {
    return [change] {
        std::vector<RawEntry> entries = {RawEntry::Plain("first.txt", test::ToBytes("fine")),
                                         RawEntry::Compressed("data.bin", test::TextData(20000))};
        change(entries[1]);
        return test::BuildArchive(entries, true);
    };
}
// The quirky archive with one 32-bit field of its trailer, `fromEnd` bytes
// before the end of the file, set to `value`.
constexpr size_t kFileCountFromEnd = 32, kDirectoryOffsetFromEnd = 20;
std::function<Bytes()> TrailerWith(bool compressedDirectory, size_t fromEnd, uint32_t value) {
    return [=] {
        return Damaged(QuirkyEntries(), compressedDirectory,
                       [=](Bytes& a) { test::PutI32(a, a.size() - fromEnd, value); });
    };
}
std::function<Bytes()> NamedEntry(std::string name, std::string path = "") {
    return EntryWith([name, path](RawEntry& e) {
        e.name = name;
        e.path = path;
    });
}

constexpr const char* kCorrupted = "The archive file appears to be corrupted";
constexpr const char* kList = "Unable to read archive file list";
constexpr const char* kEntry1 = "File (1) is corrupt";

const std::vector<DamageCase>& DamageCases() {
    static const std::vector<DamageCase> cases = {
        {"one body byte changed", [] { return Damaged(QuirkyEntries(), true, [](Bytes& a) { a[100] ^= 1; }); },
         kCorrupted},
        {"one directory byte changed",
         [] { return Damaged(QuirkyEntries(), false, [](Bytes& a) { a[a.size() - 40] ^= 0x80; }); }, kCorrupted},
        {"empty file", [] { return Bytes(); }, kCorrupted},
        {"shorter than a trailer", [] { return Bytes(35, 0); }, kCorrupted},
        {"negative FileCount", TrailerWith(false, kFileCountFromEnd, 0xFFFFFFFF), kList},
        {"FileCount times 532 overflows", TrailerWith(true, kFileCountFromEnd, 0x7FFFFFFF), kList},
        {"plain directory runs past the trailer", TrailerWith(false, kFileCountFromEnd, 5), kList},
        {"compressed directory shorter than FileCount says", TrailerWith(true, kFileCountFromEnd, 5), kList},
        {"compressed directory claims more than deflate can hold", TrailerWith(true, kFileCountFromEnd, 4000000),
         kList},
        {"directory offset negative", TrailerWith(false, kDirectoryOffsetFromEnd, 0xFFFFFF00), kList},
        {"directory offset past the file", TrailerWith(true, kDirectoryOffsetFromEnd, 1 << 30), kList},
        {"directory stream damaged",
         [] {
             return Damaged(QuirkyEntries(), true, [](Bytes& a) {
                 for (size_t i = a.size() - 60; i < a.size() - 40; ++i) a[i] ^= 0x55;
                 test::Recrc(a);
             });
         },
         kList},
        {"stored entry runs past the archive", EntryWith([](RawEntry& e) {
             e = RawEntry::Plain("data.bin", test::NoiseData(100));
             e.unpackedSize = e.storedSize.emplace(100000);
         }),
         kEntry1},
        {"stored entry claims more than it stores", EntryWith([](RawEntry& e) {
             e = RawEntry::Plain("data.bin", test::NoiseData(100));
             e.unpackedSize = 200;
         }),
         kEntry1},
        {"entry offset past the data", EntryWith([](RawEntry& e) { e.offset = 1 << 20; }), kEntry1},
        {"negative offset", EntryWith([](RawEntry& e) { e.offset = -4; }), kEntry1},
        {"negative UnpackedSize", EntryWith([](RawEntry& e) { e.unpackedSize = -1; }), kEntry1},
        {"negative StoredSize", EntryWith([](RawEntry& e) { e.storedSize = -1; }), kEntry1},
        {"zlib stream damaged", EntryWith([](RawEntry& e) {
             for (size_t i = 10; i < 40; ++i) e.stored[i] ^= 0xA5;
         }),
         kEntry1},
        {"zlib stream ends before UnpackedSize", EntryWith([](RawEntry& e) { e.unpackedSize += 1; }), kEntry1},
        {"zlib stream cut short", EntryWith([](RawEntry& e) { e.stored.resize(e.stored.size() / 2); }), kEntry1},
        {"empty name", NamedEntry(""), kEntry1},
        {"name \".\"", NamedEntry("."), kEntry1},
        {"name \"..\"", NamedEntry(".."), kEntry1},
        {"name of dots and blanks", NamedEntry(". ."), kEntry1},
        {"name with a backslash", NamedEntry("..\\evil.txt"), kEntry1},
        {"name with a slash", NamedEntry("sub/evil.txt"), kEntry1},
        {"name with a drive", NamedEntry("C:evil.txt"), kEntry1},
        {"name with a leading backslash", NamedEntry("\\evil.txt"), kEntry1},
        {"path climbing out", NamedEntry("evil.txt", "..\\.."), kEntry1, true},
        {"path climbing out halfway", NamedEntry("evil.txt", "sub\\..\\..\\x"), kEntry1, true},
        {"path from the root", NamedEntry("evil.txt", "\\tmp"), kEntry1, true},
        {"path with a slash root", NamedEntry("evil.txt", "/tmp"), kEntry1, true},
        {"path with a drive", NamedEntry("evil.txt", "C:\\x"), kEntry1, true},
    };
    return cases;
}

TEST_F(ArchiveTest, DamagedArchivesGiveTheirMessage) {
    for (const DamageCase& c : DamageCases()) {
        SCOPED_TRACE(c.what);
        TTempFolder scratch;
        std::string file = scratch / "damaged.zub";
        test::WriteBytes(file, c.make());
        TZLBArchive reader;
        reader.ExtractWithPath = c.extractWithPath;
        std::string message = ErrorOf([&] {
            reader.OpenArchive(file);
            reader.ExtractArchive(scratch / "out\\deep\\");
        });
        EXPECT_EQ(message, c.message);
        // Nothing may land outside the extraction folder.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.Path())) {
            std::string p = entry.path().string();
            EXPECT_TRUE(p == file || p.find("/out") != std::string::npos) << p;
        }
        if (std::string(c.message) == kEntry1) {
            EXPECT_EQ(test::ReadBytes(scratch / "out/deep/first.txt"), test::ToBytes("fine"));
            EXPECT_EQ(reader.ProgressPhase(), TZLBArchive::kPhaseIdle);
        } else {
            EXPECT_EQ(reader.ArchiveFileName(), "");  // left closed
        }
    }
}

TEST_F(ArchiveTest, ZlibStreamLongerThanUnpackedSizeStopsThere) {
    Bytes data = test::TextData(10000);
    RawEntry e = RawEntry::Compressed("cut.txt", data);
    e.unpackedSize = 6000;
    ASSERT_TRUE(archive.OpenArchive(Put(test::BuildArchive({e}, false))));
    archive.ExtractArchive(dir.Path());
    EXPECT_EQ(test::ReadBytes(dir / "cut.txt"), Bytes(data.begin(), data.begin() + 6000));
}

TEST_F(ArchiveTest, CheckCRCDecidesAboutAWrongRecordCRC) {
    RawEntry e = RawEntry::Compressed("data.bin", test::TextData(3000));
    e.crc ^= 1;
    std::string file = Put(test::BuildArchive({e}, true));
    archive.OpenArchive(file);
    EXPECT_EQ(ErrorOf([&] { archive.ExtractArchive(dir / "lax\\"); }), "<no error>");
    EXPECT_EQ(test::ReadBytes(dir / "lax/data.bin"), test::TextData(3000));
    archive.CheckCRC = true;
    EXPECT_EQ(ErrorOf([&] { archive.ExtractArchive(dir / "strict\\"); }), "File (0) is corrupt");
}

TEST_F(ArchiveTest, ReplaceFileHandlerDecidesAboutExistingFiles) {
    std::string file = Put(test::BuildArchive({RawEntry::Plain("a.txt", test::ToBytes("new")),
                                               RawEntry::Plain("b.txt", test::ToBytes("fresh"))},
                                              false));
    std::string out = dir / "out\\";
    test::WriteBytes(out + "a.txt", test::ToBytes("old"));
    std::vector<std::string> asked, extracted;
    archive.OnFileExtracted = [&](const std::string& name) { extracted.push_back(name); };

    archive.OnReplaceFile = [&](const std::string& name, bool& replace) { asked.push_back(name); };
    archive.OpenArchive(file);
    archive.ExtractArchive(out);
    EXPECT_EQ(test::ReadBytes(out + "a.txt"), test::ToBytes("old"));
    EXPECT_EQ(asked, std::vector<std::string>{dir / "out\\a.txt"});
    EXPECT_EQ(extracted, std::vector<std::string>{out + "b.txt"});  // b.txt did not exist: not asked

    archive.OnReplaceFile = [&](const std::string&, bool& replace) { replace = true; };
    archive.ExtractArchive(out);
    EXPECT_EQ(test::ReadBytes(out + "a.txt"), test::ToBytes("new"));

    test::WriteBytes(out + "a.txt", test::ToBytes("old"));
    archive.OnReplaceFile = nullptr;
    archive.ExtractArchive(out);
    EXPECT_EQ(test::ReadBytes(out + "a.txt"), test::ToBytes("new"));
}

TEST_F(ArchiveTest, FolderSpellingsGiveTheSameTargets) {
    std::string file = Put(test::BuildArchive({RawEntry::Plain("x.txt", test::ToBytes("x"))}, false));
    const std::string base = dir.Path() + "out";
    std::vector<std::pair<std::string, std::string>> seen;  // (target asked about, reported name)
    archive.OnReplaceFile = [&](const std::string& target, bool& replace) {
        seen.push_back({target, ""});
        replace = true;
    };
    archive.OnFileExtracted = [&](const std::string& name) {
        if (!seen.empty()) seen.back().second = name;
    };
    archive.OpenArchive(file);
    archive.ExtractArchive(base + "\\");  // makes the file, so each later run asks
    for (std::string folder : {base + "\\", base, base + "\\\\", base + "\\\\\\"}) archive.ExtractArchive(folder);
    ASSERT_EQ(seen.size(), 4u);
    for (const auto& s : seen) EXPECT_EQ(s.first, base + "\\x.txt");
    EXPECT_EQ(seen[1].second, base + "x.txt");  // the folder exactly as passed, then the name

    std::string doubled = dir.Path() + "a\\\\b\\";
    archive.OnReplaceFile = nullptr;
    archive.ExtractArchive(doubled);
    EXPECT_TRUE(test::Exists(dir / "a/b/x.txt"));
}

TEST_F(ArchiveTest, ClosedArchiveAndBadIndexes) {
    EXPECT_FALSE(archive.OpenArchive(""));
    EXPECT_EQ(ErrorOf([&] { archive.GetFileCount(); }), "No archive is currently open");
    EXPECT_EQ(ErrorOf([&] { archive.ExtractArchive(dir.Path()); }), "No archive is currently open");

    EXPECT_EQ(ErrorOf([&] { archive.OpenArchive(dir / "missing.zub"); }), "Archive file not found");
    EXPECT_EQ(archive.GetFileCount(), 0);  // the name stays set, the list empty

    archive.OpenArchive(Put(test::BuildArchive(QuirkyEntries(), true)));
    EXPECT_EQ(ErrorOf([&] { archive.GetFileEntry(-1); }), "Index out of bounds");
    EXPECT_EQ(ErrorOf([&] { archive.GetFileEntry(archive.GetFileCount()); }), "Index out of bounds");
    EXPECT_EQ(archive.GetFileEntry(3).Name, "empty.txt");
    archive.CloseArchive();
    EXPECT_EQ(ErrorOf([&] { archive.GetFileCount(); }), "No archive is currently open");
}

TEST_F(ArchiveTest, EmptyArchiveCreatesOnlyTheFolder) {
    archive.OpenArchive(Put(test::BuildArchive({}, true)));
    EXPECT_EQ(archive.GetFileCount(), 0);
    archive.ExtractArchive(dir / "out\\sub\\");
    ASSERT_TRUE(std::filesystem::is_directory(dir / "out/sub"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "out/sub"));
}

TEST_F(ArchiveTest, ProgressReportsPhasesAndRoundedPercentages) {
    std::vector<RawEntry> entries(10, RawEntry::Plain("", {}));
    for (int i = 0; i < 10; ++i) entries[size_t(i)].name = "f" + std::to_string(i);
    entries[0] = RawEntry::Compressed("big.bin", test::TextData(10000));
    std::string file = Put(test::BuildArchive(entries, true));  // 5320 directory bytes
    std::vector<std::pair<std::string, int>> reports;
    archive.OnProgress = [&](const std::string& msg, int pct) { reports.push_back({msg, pct}); };
    archive.OpenArchive(file);
    archive.ExtractArchive(dir.Path());
    archive.CloseArchive();
    std::vector<std::pair<std::string, int>> expected = {
        {"", 0},  // CloseArchive at the start of OpenArchive
        {"Extracting archive registry", 77}, {"Extracting archive registry", 100}, {file, 0},
        {"Extracting big.bin", 41}, {"Extracting big.bin", 82}, {"Extracting big.bin", 100}, {file, 0},
        {"", 0}};
    EXPECT_EQ(reports, expected);
}

TEST(ProgressPercentage, RoundsToNearestWithTiesToEven) {
    struct Case { int64_t done, total; int percent; };
    for (Case c : {Case{1, 8, 12}, {3, 8, 38}, {1, 200, 0}, {3, 200, 2}, {5, 200, 2}, {4096, 10000, 41},
                   {2147483647, 2147483647, 100}, {0, 0, 0}, {1, 3, 33}, {2, 3, 67}})
        EXPECT_EQ(ProgressPercentage(c.done, c.total), c.percent) << c.done << "/" << c.total;
}

TEST_F(ArchiveTest, ComputeStreamCRCLeavesOutTheTailAndKeepsThePosition) {
    Bytes data = test::NoiseData(1500000);
    fs::File file = fs::File::OpenRead(Put(data));
    file.Seek(77);
    EXPECT_EQ(TZLBArchive::ComputeStreamCRC(file, 36), test::Crc(Bytes(data.begin(), data.end() - 36)));
    EXPECT_EQ(file.Position(), 77);
    EXPECT_EQ(TZLBArchive::ComputeStreamCRC(file, 2000000), 0u);
}

}  // namespace
}  // namespace zub
