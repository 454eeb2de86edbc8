// Inputs the fuzz targets found troublesome, kept as tests: each is rebuilt
// here from its essential bytes rather than kept as a binary file.
#include <gtest/gtest.h>

#include <optional>

#include "archive/pe_resource.h"
#include "base/error.h"
#include "pe_test_util.h"

namespace zub {
namespace {

using namespace test;

// Writes `payload` into `pe`. Refusing is sound; what is written must read
// back as the payload. The image written, or nothing when refused.
std::optional<std::vector<unsigned char>> WrittenReadsBack(const std::vector<unsigned char>& pe,
                                                           const std::vector<unsigned char>& payload) {
    std::vector<unsigned char> written;
    try {
        written = WritePayloadResource(pe, payload);
    } catch (const Error&) {
        return std::nullopt;
    }
    EXPECT_EQ(ReadPayloadResource(written), payload);
    return written;
}

// A last resource section whose raw-data pointer is damaged: at 0 (with a raw
// size past the end of the file) rewriting it "in place" put the new section
// over the headers and the result was no executable; far beyond the end of
// the file it padded the copy with up to 2 GiB of zeros.
TEST(FuzzFindings, ResourceSectionOverTheHeadersIsNotRewrittenInPlace) {
    const struct {
        const char* what;
        uint32_t rawPointer;
        uint32_t rawSize;
        bool emptyHeaders;  // SizeOfHeaders 0 and a code section without raw data
    } cases[] = {
        {"raw data at 0", 0, 0x5a4d0200, false},
        {"raw data inside the headers", 0x200, 0x10000, false},
        {"raw data over the code section", 0x400, 0x10000, false},
        {"raw data far beyond the file", 0x01000000, 0x200, false},
        {"raw data at 0, headers said to be empty", 0, 0x7273, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> pe = MakeTestPe(HandMadeResources("OTHER", "x"));
        const size_t header = pe_layout::kSectionTable + 40;
        Put32(pe, header + 16, c.rawSize);
        Put32(pe, header + 20, c.rawPointer);
        if (c.emptyHeaders) {
            Put32(pe, pe_layout::kOptional + 60, 0);
            Put32(pe, pe_layout::kSectionTable + 16, 0);
            Put32(pe, pe_layout::kSectionTable + 20, 0);
        }
        const std::optional<std::vector<unsigned char>> image = WrittenReadsBack(pe, {'Z', 'U', 'B'});
        if (!image) continue;
        const std::vector<unsigned char>& written = *image;
        ASSERT_GE(written.size(), pe.size());
        EXPECT_LE(written.size(), pe.size() + 0x1000) << "padded far beyond the file";
        EXPECT_TRUE(std::equal(pe.begin(), pe.begin() + 0x40, written.begin())) << "the MZ header was overwritten";
        EXPECT_EQ(Get32(written, pe_layout::kPeOffset), 0x00004550u) << "the PE signature was overwritten";
        if (!c.emptyHeaders) EXPECT_EQ(written[0x400], 0xc3) << "the code section was overwritten";
    }
}

// With SizeOfImage and every section's address and size 0, the new resource
// section was placed at RVA 0, which the loader reads as "no resources".
TEST(FuzzFindings, NewResourceSectionNeverLandsAtAddressZero) {
    std::vector<unsigned char> pe = MakeTestPe();
    Put32(pe, pe_layout::kSizeOfImage, 0);
    Put32(pe, pe_layout::kSectionTable + 8, 0);   // .text virtual size
    Put32(pe, pe_layout::kSectionTable + 12, 0);  // .text address
    Put32(pe, pe_layout::kSectionTable + 16, 0);  // .text raw size
    if (const auto written = WrittenReadsBack(pe, {'Z', 'U', 'B'}))
        EXPECT_NE(Get32(*written, pe_layout::kResourceDirectory), 0u);
}

// A file that ends inside its section table, with a small file alignment: the
// new section started right at the end of the file and its header, written
// behind the old table, overwrote the section's first bytes.
TEST(FuzzFindings, NewSectionHeaderNeverOverlapsTheNewSection) {
    std::vector<unsigned char> pe = MakeTestPe();
    Put16(pe, pe_layout::kFileHeader + 2, 0);        // no sections
    Put32(pe, pe_layout::kOptional + 36, 0x10);      // file alignment
    Put32(pe, pe_layout::kOptional + 60, 0x1000);    // size of headers
    pe.resize(pe_layout::kSectionTable + 8);
    WrittenReadsBack(pe, {'Z', 'U', 'B'});
}

// The resource section is last in the table but not in memory: the code
// section lies at a higher address inside its aligned span. Growing the
// resource section in place made it overlap the code, and the payload read
// back from the code section's bytes.
TEST(FuzzFindings, ResourceSectionDoesNotGrowOverALaterSection) {
    // OTHER sorts before the payload, so the payload's bytes come behind its 256.
    std::vector<unsigned char> pe = MakeTestPe(HandMadeResources("OTHER", std::string(0x100, 'o')));
    Put32(pe, pe_layout::kSectionTable + 12, pe_layout::kResourceRva + 0x100);  // .text address
    Put32(pe, pe_layout::kSectionTable + 40 + 8, 0xb0);                         // .rsrc virtual size
    WrittenReadsBack(pe, std::vector<unsigned char>(64, 'Z'));
}

}  // namespace
}  // namespace zub
