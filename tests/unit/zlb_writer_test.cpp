#include "archive/zlb_writer.h"

#include <gtest/gtest.h>

#include "archive/zlb_archive.h"
#include "archive_test_util.h"

namespace zub {
namespace {

using test::Bytes;
using test::ErrorOf;

struct Item {
    std::string name;
    Bytes data;
};

// What the reader sees of an archive: each record, checked for the packing
// the writer promises (entries from offset 0, one after the other, then the
// directory up to the trailer).
std::vector<TZLBFileEntry> ReadBack(TZLBArchive& reader, const std::string& file) {
    EXPECT_TRUE(reader.OpenArchive(file));
    std::vector<TZLBFileEntry> entries;
    int64_t next = 0;
    for (int i = 0; i < reader.GetFileCount(); ++i) {
        entries.push_back(reader.GetFileEntry(i));
        EXPECT_EQ(entries.back().Offset, next);
        next += entries.back().StoredSize;
    }
    const TZLBTrailer& t = reader.Trailer();
    EXPECT_EQ(t.DirectoryOffset, next);
    EXPECT_EQ(int64_t(t.DirectoryOffset) + t.DirectorySize + 36, int64_t(test::ReadBytes(file).size()));
    EXPECT_EQ(t.Reserved, 1);
    return entries;
}

struct RoundTripCase {
    const char* what;
    TFileCompressionLevel level;
    bool compressedDirectory;
    std::vector<Item> items;
    std::vector<bool> stored;  // expected Stored flag per item
};

TEST(ZLBWriter, RoundTripsThroughTheReader) {
    const std::vector<RoundTripCase> cases = {
        {"maximum, compressed directory", fcMaximum, true,
         {{"Setup.ini", test::TextData(70000)}, {"noise.bin", test::NoiseData(300000)}, {"empty", {}},
          {"tiny", test::ToBytes("ab")}},
         {false, true, true, true}},
        {"default, plain directory", fcDefault, false,
         {{"a.txt", test::TextData(5000)}, {"b.bin", test::NoiseData(10)}}, {false, true}},
        {"fastest", fcFastest, true, {{"a.txt", test::TextData(1 << 20)}}, {false}},
        {"none stores everything", fcNone, true, {{"a.txt", test::TextData(5000)}, {"z", {}}}, {true, true}},
        {"empty archive", fcMaximum, true, {}, {}},
        {"empty archive, plain directory", fcDefault, false, {}, {}},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.what);
        TTempFolder dir;
        TZLBWriter writer;
        writer.CompressionLevel = c.level;
        writer.DirectoryCompressed = c.compressedDirectory;
        for (size_t i = 0; i < c.items.size(); ++i) {
            // Half from buffers, half from files on disk.
            if (i % 2) {
                test::WriteBytes(dir / ("src/" + c.items[i].name), c.items[i].data);
                writer.AddFile(dir / ("src/" + c.items[i].name), c.items[i].name);
            } else {
                writer.AddBuffer(c.items[i].name, c.items[i].data);
            }
        }
        writer.Save(dir / "out.zub");

        TZLBArchive reader;
        reader.CheckCRC = true;
        std::vector<TZLBFileEntry> entries = ReadBack(reader, dir / "out.zub");
        ASSERT_EQ(entries.size(), c.items.size());
        EXPECT_EQ(reader.Trailer().DirectoryCompressed, c.compressedDirectory);
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].Name, c.items[i].name);
            EXPECT_EQ(entries[i].Stored, c.stored[i]) << c.items[i].name;
            EXPECT_EQ(entries[i].UnpackedSize, int32_t(c.items[i].data.size()));
            if (entries[i].Stored) EXPECT_EQ(entries[i].StoredSize, entries[i].UnpackedSize);
            else EXPECT_LT(entries[i].StoredSize, entries[i].UnpackedSize);
        }
        reader.ExtractArchive(dir / "x\\");
        for (const Item& item : c.items) EXPECT_EQ(test::ReadBytes(dir / ("x/" + item.name)), item.data);
    }
}

TEST(ZLBWriter, ZlibHeaderFollowsTheLevel) {
    struct Case { TFileCompressionLevel level; unsigned char second; };
    for (Case c : {Case{fcMaximum, 0xDA}, {fcDefault, 0x9C}, {fcFastest, 0x01}}) {
        TTempFolder dir;
        TZLBWriter writer;
        writer.CompressionLevel = c.level;
        writer.AddBuffer("a", test::TextData(8000));
        writer.Save(dir / "a.zub");
        Bytes bytes = test::ReadBytes(dir / "a.zub");
        EXPECT_EQ(bytes[0], 0x78);
        EXPECT_EQ(bytes[1], c.second);
    }
}

TEST(ZLBWriter, OutputIsDeterministic) {
    TTempFolder dir;
    for (const char* name : {"b.txt", "a.txt", "c.bin"}) test::WriteBytes(dir / ("src/" + std::string(name)), test::TextData(3000));
    auto save = [&](const std::string& out) {
        TZLBWriter writer;
        writer.AddFolder(dir / "src");
        writer.Save(out);
        return test::ReadBytes(out);
    };
    EXPECT_EQ(save(dir / "one.zub"), save(dir / "two.zub"));
    TZLBArchive reader;
    reader.OpenArchive(dir / "one.zub");
    EXPECT_EQ(reader.GetFileEntry(0).Name, "a.txt");
    EXPECT_EQ(reader.GetFileEntry(2).Name, "c.bin");
}

TEST(ZLBWriter, FolderListingFollowsRecurseAndSavePaths) {
    TTempFolder dir;
    for (const char* f : {"top.txt", "sub/one.txt", "sub/deeper/two.txt", "other/three.txt"})
        test::WriteBytes(dir / ("src/" + std::string(f)), test::ToBytes(f));
    struct Case { bool recurse, savePaths; std::vector<std::pair<std::string, std::string>> expected; };
    const std::vector<Case> cases = {
        {false, false, {{"", "top.txt"}}},
        {false, true, {{"", "top.txt"}}},
        {true, false, {{"", "one.txt"}, {"", "three.txt"}, {"", "top.txt"}, {"", "two.txt"}}},
        {true, true, {{"", "top.txt"}, {"other", "three.txt"}, {"sub", "one.txt"}, {"sub\\deeper", "two.txt"}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, std::string>> got;
        // A trailing separator on the folder changes nothing.
        for (const TFolderFile& f : ListFolderFiles(dir / "src\\", c.recurse, c.savePaths)) got.push_back({f.Folder, f.Name});
        if (!c.savePaths) std::sort(got.begin(), got.end(), [](auto& a, auto& b) { return a.second < b.second; });
        EXPECT_EQ(got, c.expected) << c.recurse << c.savePaths;
    }
}

TEST(ZLBWriter, SavedPathsComeBackWithExtractWithPath) {
    TTempFolder dir;
    for (const char* f : {"top.txt", "sub/one.txt", "sub/deeper/two.txt"})
        test::WriteBytes(dir / ("src/" + std::string(f)), test::ToBytes(f));
    TZLBWriter writer;
    writer.RecursePaths = writer.SavePaths = true;
    writer.AddFolder(dir / "src");
    writer.Save(dir / "tree.zub");

    TZLBArchive reader;
    reader.OpenArchive(dir / "tree.zub");
    reader.ExtractWithPath = true;
    reader.ExtractArchive(dir / "with\\");
    for (const char* f : {"top.txt", "sub/one.txt", "sub/deeper/two.txt"})
        EXPECT_EQ(test::ReadBytes(dir / ("with/" + std::string(f))), test::ToBytes(f)) << f;
    reader.ExtractWithPath = false;
    reader.ExtractArchive(dir / "flat\\");
    EXPECT_TRUE(test::Exists(dir / "flat/two.txt"));
    EXPECT_FALSE(test::Exists(dir / "flat/sub"));
}

TEST(ZLBWriter, RefusesWhatTheFormatCannotCarry) {
    TTempFolder dir;
    TZLBWriter writer;
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "c:x"})
        EXPECT_NE(ErrorOf([&] { writer.AddBuffer(bad, {}); }), "<no error>") << bad;
    EXPECT_NE(ErrorOf([&] { writer.AddBuffer(std::string(256, 'n'), {}); }), "<no error>");
    EXPECT_NE(ErrorOf([&] { writer.AddBuffer("a", {}, "..\\up"); }), "<no error>");
    EXPECT_EQ(writer.EntryCount(), 0u);

    writer.AddBuffer("Same.txt", {}, "sub");
    writer.AddBuffer("same.TXT", {}, "sub\\");
    EXPECT_EQ(ErrorOf([&] { writer.Save(dir / "dup.zub"); }), "Duplicate archive entry: sub\\same.txt");

    TZLBWriter missing;
    missing.AddFile(dir / "nothere", "x");
    EXPECT_EQ(ErrorOf([&] { missing.Save(dir / "m.zub"); }), "Unable to open file (" + (dir / "nothere") + ")");
}

}  // namespace
}  // namespace zub
