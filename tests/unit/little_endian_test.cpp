// The bounded reader every parser of outside bytes stands on: a read that
// reaches one byte past the end, or whose size would wrap, must raise.
#include <gtest/gtest.h>

#include <limits>

#include "base/little_endian.h"

namespace zub {
namespace {

TEST(ByteReader, ReadsLittleEndianFieldsInsideTheBuffer) {
    const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05};
    const TByteReader in(bytes, sizeof bytes, "short");
    EXPECT_EQ(in.U16(0), 0x0201u);
    EXPECT_EQ(in.U16(3), 0x0504u);
    EXPECT_EQ(in.U32(1), 0x05040302u);
    EXPECT_EQ(in.Bytes(5, 0), bytes + 5);
}

TEST(ByteReader, RefusesEveryReadThatLeavesTheBuffer) {
    const unsigned char bytes[4] = {};
    const TByteReader in(bytes, sizeof bytes, "short");
    constexpr size_t kHuge = std::numeric_limits<size_t>::max();
    struct {
        size_t at, count;
    } const cases[] = {{3, 2}, {1, 4}, {4, 1}, {5, 0}, {1, kHuge}, {kHuge, 2}};
    for (const auto& c : cases) {
        try {
            in.Bytes(c.at, c.count);
            ADD_FAILURE() << c.at << "+" << c.count << " was read";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "short");
        }
    }
    EXPECT_THROW(in.U32(1), Error);
    try {
        in.U16(3, "the field's own message");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "the field's own message");
    }
}

TEST(ByteWriter, StoresLittleEndianAndRefusesFieldsPastTheEnd) {
    std::vector<unsigned char> bytes(6, 0);
    PutLe16(bytes, 0, 0xBEEF);
    PutLe32(bytes, 2, 0x12345678);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xEF, 0xBE, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_THROW(PutLe32(bytes, 3, 0), std::out_of_range);
    EXPECT_THROW(PutLe16(bytes, 5, 0), std::out_of_range);
}

}  // namespace
}  // namespace zub
