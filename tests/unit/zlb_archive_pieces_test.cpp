// Extraction counts data in pieces of 4096 bytes even though it inflates
// larger chunks at once: each piece is reported and written as if it had been
// obtained on its own, also when the data ends early or is damaged.
#include <gtest/gtest.h>

#include "archive/zlb_archive.h"
#include "archive_test_util.h"

namespace zub {
namespace {

using namespace test;

struct TPieceRun {
    std::vector<int64_t> done;  // ProgressDone at each report of the entry
    std::string error;
    Bytes written;
};

TPieceRun Extract(const RawEntry& entry) {
    TTempFolder dir;
    WriteBytes(dir / "a.x", BuildArchive({entry}, false));
    TZLBArchive reader;
    TPieceRun run;
    reader.OnProgress = [&](const std::string& msg, int) {
        if (reader.ProgressPhase() == TZLBArchive::kPhaseExtracting) run.done.push_back(reader.ProgressDone());
    };
    reader.OpenArchive(dir / "a.x");
    run.error = ErrorOf([&] { reader.ExtractArchive(dir.Path()); });
    run.written = ReadBytes(dir / entry.name);
    return run;
}

std::vector<int64_t> Steps(int64_t full, int64_t last = -1) {
    std::vector<int64_t> steps;
    for (int64_t i = 1; i <= full; ++i) steps.push_back(i * 4096);
    if (last >= 0) steps.push_back(full * 4096 + last);
    return steps;
}

TEST(ZlbArchivePieces, EachPieceIsReportedAndWrittenOnItsOwn) {
    const Bytes data = TextData(1000000);  // more than one output buffer
    const Bytes noise = NoiseData(300000);
    const Bytes deflated = Deflate(data);

    RawEntry whole = RawEntry::Compressed("whole.txt", data);
    RawEntry stored = RawEntry::Plain("stored.bin", noise);
    // The stream ends 10000 bytes early: two full pieces then a short one.
    RawEntry shortStream = RawEntry::Compressed("short.txt", Bytes(data.begin(), data.begin() + 18192));
    shortStream.unpackedSize = 28192;
    // The zlib stream is cut off (the data ends early, the last piece is
    // short) or damaged in its middle (the piece that meets the damage is
    // neither reported nor written).
    RawEntry cut = RawEntry::Compressed("cut.txt", NoiseData(100000));
    cut.stored.resize(cut.stored.size() / 2);
    RawEntry damaged = RawEntry::Compressed("damaged.txt", data);
    for (size_t i = deflated.size() / 2; i < deflated.size() / 2 + 64; ++i) damaged.stored[i] ^= 0x5A;

    const struct {
        const char* what;
        RawEntry entry;
        std::vector<int64_t> done;
        std::string error;
        Bytes written;
    } cases[] = {
        {"whole", whole, Steps(244, 576), "<no error>", data},
        {"stored", stored, Steps(73, 992), "<no error>", noise},
        {"short stream", shortStream, Steps(4, 1808), "File (0) is corrupt", Bytes(data.begin(), data.begin() + 18192)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TPieceRun run = Extract(c.entry);
        EXPECT_EQ(run.done, c.done);
        EXPECT_EQ(run.error, c.error);
        EXPECT_EQ(run.written, c.written);
    }

    for (const RawEntry& broken : {cut, damaged}) {
        SCOPED_TRACE(broken.name);
        TPieceRun run = Extract(broken);
        EXPECT_EQ(run.error, "File (0) is corrupt");
        ASSERT_FALSE(run.done.empty());
        EXPECT_LT(run.done.back(), int64_t(broken.unpackedSize));
        const int64_t full = run.done.back() / 4096;
        EXPECT_EQ(run.done, Steps(full, broken.name == "cut.txt" ? run.done.back() % 4096 : -1));
        EXPECT_EQ(int64_t(run.written.size()), run.done.back());
    }
}

}  // namespace
}  // namespace zub
