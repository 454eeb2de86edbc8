// The ultra level: zopfli's zlib streams, cut into parts compressed on
// several threads and joined again.
#include "archive/ultra_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "archive_test_util.h"

namespace zub {
namespace {

using test::Bytes;

Bytes Inflate(const Bytes& stream, size_t size) {
    Bytes out(size + 1);
    uLongf length = uLongf(out.size());
    EXPECT_EQ(uncompress(out.data(), &length, stream.data(), uLong(stream.size())), Z_OK);
    out.resize(length);
    return out;
}

// Text, then noise (where zopfli picks stored blocks, which must stay byte
// aligned whatever the part before them ended on), then text again.
Bytes Mixed() {
    Bytes data = test::TextData(30000);
    const Bytes noise = test::NoiseData(12000, 7);
    data.insert(data.end(), noise.begin(), noise.end());
    const Bytes more = test::TextData(25000);
    data.insert(data.end(), more.begin(), more.end());
    return data;
}

TEST(UltraDeflate, PartsJoinIntoOneValidStreamWhateverTheThreads) {
    if (!UltraCompressionAvailable()) GTEST_SKIP() << "built without zopfli";
    const Bytes mixed = Mixed(), text = test::TextData(5000);
    std::vector<Bytes> streams;
    for (unsigned threads : {1u, 3u}) {
        std::vector<TUltraJob> jobs = {{mixed.data(), mixed.size(), {}}, {text.data(), text.size(), {}}};
        // Parts of odd sizes, so that they end anywhere within a byte.
        CompressUltra(jobs, threads, 9001);
        EXPECT_EQ(Inflate(jobs[0].Stream, mixed.size()), mixed);
        EXPECT_EQ(Inflate(jobs[1].Stream, text.size()), text);
        EXPECT_EQ(jobs[0].Stream[0], 0x78);
        EXPECT_EQ(jobs[0].Stream[1], 0xDA);
        streams.push_back(jobs[0].Stream);
    }
    EXPECT_EQ(streams[0], streams[1]);

    uLongf bestLength = compressBound(uLong(mixed.size()));
    Bytes best(bestLength);
    ASSERT_EQ(compress2(best.data(), &bestLength, mixed.data(), uLong(mixed.size()), 9), Z_OK);
    EXPECT_LT(streams[0].size(), bestLength);
}

TEST(UltraDeflate, WriterMakesArchivesTheReaderTakesAndStoresWhatDoesNotShrink) {
    if (!UltraCompressionAvailable()) GTEST_SKIP() << "built without zopfli";
    TTempFolder dir;
    const Bytes text = test::TextData(60000), noise = test::NoiseData(5000);
    auto save = [&](const std::string& name, bool ultra, unsigned threads) {
        TZLBWriter writer;
        writer.CompressionLevel = fcMaximum;
        writer.Ultra = ultra;
        writer.Threads = threads;
        writer.AddBuffer("text.txt", text);
        writer.AddBuffer("noise.bin", noise);
        writer.AddBuffer("empty", {});
        writer.Save(dir / name);
        return test::ReadBytes(dir / name);
    };
    const Bytes best = save("best.x", false, 1), one = save("ultra1.x", true, 1), two = save("ultra2.x", true, 2);
    EXPECT_EQ(one, two);
    EXPECT_LT(one.size(), best.size());

    TZLBArchive reader;
    reader.CheckCRC = true;
    reader.OpenArchive(dir / "ultra1.x");
    EXPECT_FALSE(reader.GetFileEntry(0).Stored);
    EXPECT_TRUE(reader.GetFileEntry(1).Stored);
    reader.ExtractArchive(dir / "out/");
    EXPECT_EQ(test::ReadBytes(dir / "out/text.txt"), text);
    EXPECT_EQ(test::ReadBytes(dir / "out/noise.bin"), noise);
    EXPECT_TRUE(test::ReadBytes(dir / "out/empty").empty());
}

}  // namespace
}  // namespace zub
