// The writer packs entries on several threads with the same bytes as on one,
// also when compressed entries wait in temporary files, and reports the same
// failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "archive_test_util.h"

namespace zub {
namespace {

using namespace test;

// Files of every kind the writer treats differently: compressible, stored
// because incompressible, empty, stored on request, and in sub-folders.
class MixedSet {
public:
    MixedSet() {
        for (int i = 0; i < 24; ++i) {
            const std::string name = "f" + std::to_string(100 + i);
            Bytes data;
            switch (i % 4) {
                case 0: data = TextData(size_t(1000 + 37 * i)); break;
                case 1: data = NoiseData(size_t(3000 + 11 * i), uint32_t(i)); break;
                case 2: data = TextData(size_t(200000 + 5000 * i)); break;
                case 3: break;  // empty
            }
            files_.push_back({name + ".dat", i % 3 == 0 ? "sub\\deeper" : "", data, i == 5});
            WriteBytes(src_ / (name + ".dat"), data);
        }
    }

    void AddTo(TZLBWriter& writer) const {
        for (const File& f : files_)
            writer.AddFile(src_ / (f.name), f.name, f.path,
                           f.storeIt ? std::optional<TFileCompressionLevel>(fcNone) : std::nullopt);
        writer.AddBuffer("buffer.txt", TextData(70000), "buffers");
        writer.AddBuffer("noise.bin", NoiseData(70000));
    }

    Bytes Pack(unsigned threads, int64_t spoolMemory, const std::string& out) const {
        TZLBWriter writer;
        writer.Threads = threads;
        writer.SpoolMemory = spoolMemory;
        writer.CompressionLevel = fcMaximum;
        AddTo(writer);
        writer.Save(out);
        return ReadBytes(out);
    }

    void ExpectExtracted(const std::string& folder) const {
        for (const File& f : files_)
            EXPECT_EQ(ReadBytes(folder + Native(f.path) + (f.path.empty() ? "" : "/") + f.name), f.data) << f.name;
        EXPECT_EQ(ReadBytes(folder + "buffers/buffer.txt"), TextData(70000));
    }

private:
    struct File {
        std::string name;
        std::string path;
        Bytes data;
        bool storeIt;
    };
    TTempFolder src_;
    std::vector<File> files_;
};

size_t FilesIn(const std::string& folder) {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) n += e.is_regular_file() ? 1 : 0;
    return n;
}

TEST(ZlbWriterParallel, SameBytesForEveryNumberOfThreads) {
    MixedSet set;
    TTempFolder dir;
    const Bytes single = set.Pack(1, 32 << 20, dir / "single.x");
    const struct {
        unsigned threads;
        int64_t spoolMemory;
    } cases[] = {{2, 32 << 20}, {4, 32 << 20}, {4, 0}, {8, 100000}, {64, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE("threads " + std::to_string(c.threads) + ", spool memory " + std::to_string(c.spoolMemory));
        EXPECT_EQ(set.Pack(c.threads, c.spoolMemory, dir / "parallel.x"), single);
        EXPECT_EQ(FilesIn(dir.Path()), 2u) << "temporary files left behind";
    }
}

TEST(ZlbWriterParallel, ArchiveReadsBack) {
    MixedSet set;
    TTempFolder dir;
    set.Pack(4, 50000, dir / "a.x");
    TZLBArchive reader;
    reader.ExtractWithPath = true;
    reader.CheckCRC = true;
    ASSERT_TRUE(reader.OpenArchive(dir / "a.x"));
    EXPECT_EQ(reader.GetFileCount(), 26);
    EXPECT_TRUE(reader.GetFileEntry(5).Stored);
    reader.ExtractArchive(dir / "out\\");
    set.ExpectExtracted(dir / "out/");
}

TEST(ZlbWriterParallel, FirstFailingEntryIsReportedAndNothingIsLeft) {
    TTempFolder dir;
    WriteBytes(dir / "src/a.txt", TextData(300000));
    WriteBytes(dir / "src/c.txt", TextData(300000));
    for (unsigned threads : {1u, 4u}) {
        TZLBWriter writer;
        writer.Threads = threads;
        writer.SpoolMemory = 1000;
        writer.AddFile(dir / "src/a.txt", "a.txt");
        writer.AddFile(dir / "src/missing.txt", "b.txt");
        writer.AddFile(dir / "src/gone.txt", "c.txt");
        writer.AddFile(dir / "src/c.txt", "d.txt");
        EXPECT_EQ(ErrorOf([&] { writer.Save(dir / "out.x"); }), "Unable to open file (" + (dir / "src/missing.txt") + ")");
        EXPECT_EQ(FilesIn(dir.Path()), 1u) << "threads " << threads;  // only the incomplete output
    }
}

}  // namespace
}  // namespace zub
