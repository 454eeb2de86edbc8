// The buffered file writer: what reaches the file, and when.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "base/file.h"
#include "archive_test_util.h"

namespace zub {
namespace {

using test::Bytes;

TEST(BufferedWriter, WritesInPlaceFilledAndCopiedBytesInOrderAndOnlyCommittedOnes) {
    TTempFolder dir;
    const std::string path = dir / "out.bin";
    {
        fs::File file = fs::File::Create(path);
        fs::BufferedWriter writer(file, 4);
        writer.Write("ab", 2);
        unsigned char* room = writer.Space(2);  // fits after "ab"
        std::memcpy(room, "cd", 2);
        writer.Commit(2);
        EXPECT_EQ(writer.Room(), 0u);
        room = writer.Space(3);  // flushes "abcd" first
        std::memcpy(room, "efg", 3);
        writer.Commit(1);  // only "e" counts
        EXPECT_THROW(writer.Commit(4), std::length_error);
        EXPECT_THROW(writer.Space(5), std::length_error);
        writer.Write("123456", 6);  // larger than the buffer: goes straight through
        writer.Write("h", 1);
    }  // the destructor writes the rest
    EXPECT_EQ(test::ReadBytes(path), Bytes({'a', 'b', 'c', 'd', 'e', '1', '2', '3', '4', '5', '6', 'h'}));
}

}  // namespace
}  // namespace zub
