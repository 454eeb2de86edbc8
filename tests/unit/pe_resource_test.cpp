// The PE resource reader on hand-made executables (sound and damaged) and
// the writer, whose output the reader and the writer itself read back.
#include "archive/pe_resource.h"

#include <gtest/gtest.h>

#include <tuple>

#include "archive/pe_image.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/pe_test_util.h"

namespace zub {
namespace {

using test::Bytes;
using test::ErrorOf;
using test::Get32;
using test::Put16;
using test::Put32;
namespace L = test::pe_layout;

Bytes SoundPe(const std::string& name = "ZUBTRESOR") { return test::MakeTestPe(test::HandMadeResources(name, "payload!")); }

std::string PayloadOf(const Bytes& pe) {
    const Bytes data = ReadPayloadResource(pe);
    return std::string(data.begin(), data.end());
}

TEST(PeResourceReader, FindsThePayloadInAnyLanguageAndCase) {
    EXPECT_EQ(PayloadOf(SoundPe()), "payload!");
    EXPECT_EQ(PayloadOf(SoundPe("zubTresor")), "payload!");  // the loader ignores ASCII case
    const TResourceLocation at = FindPayloadResource(SoundPe().data(), SoundPe().size());
    EXPECT_EQ(at.FileOffset, L::kResourceSection + L::kData);
    EXPECT_EQ(at.Size, 8u);
}

struct TDamage {
    const char* What;
    void (*Apply)(Bytes& pe);
    const char* Message;
};

const size_t R = L::kResourceSection;

const TDamage kDamages[] = {
    {"no MZ", [](Bytes& pe) { pe[0] = 'Z'; }, "Not an executable: no MZ header"},
    {"PE offset past the end", [](Bytes& pe) { Put32(pe, 0x3c, 0xfffffff0u); },
     "Not an executable: the PE header lies outside the file"},
    {"no PE signature", [](Bytes& pe) { pe[L::kPeOffset + 1] = 'X'; }, "Not an executable: no PE signature"},
    {"unknown optional header", [](Bytes& pe) { Put16(pe, L::kOptional, 0x999); },
     "Damaged executable: unknown optional header"},
    {"optional header too short", [](Bytes& pe) { Put16(pe, L::kFileHeader + 16, 50); },
     "Damaged executable: the optional header is too short"},
    {"zero file alignment", [](Bytes& pe) { Put32(pe, L::kOptional + 36, 0); },
     "Damaged executable: the section alignment is zero"},
    {"section table past the end", [](Bytes& pe) { Put16(pe, L::kFileHeader + 2, 0xffff); },
     "Damaged executable: the section table lies outside the file"},
    {"resource directory in no section", [](Bytes& pe) { Put32(pe, L::kResourceDirectory, 0x9000); },
     "Damaged executable: the resource directory lies outside the file"},
    {"resource section past the end", [](Bytes& pe) { Put32(pe, L::kSectionTable + 40 + 20, 0x10000); },
     "Damaged executable: the resource directory lies outside the file"},
    {"no resource directory", [](Bytes& pe) { Put32(pe, L::kResourceDirectory, 0); },
     "The executable has no resource ZUBTRESOR"},
    {"root claims 65535 entries", [](Bytes& pe) { Put16(pe, R + L::kRootTable + 14, 0xffff); },
     "Damaged resource directory: a table lies outside the section"},
    {"type table past the section", [](Bytes& pe) { Put32(pe, R + L::kRootTable + 20, 0xfffffff0u); },
     "Damaged resource directory: a table lies outside the section"},
    {"name string past the section", [](Bytes& pe) { Put32(pe, R + L::kTypeTable + 16, 0x8000fff0u); },
     "Damaged resource directory: a name lies outside the section"},
    {"name string longer than the section", [](Bytes& pe) { Put16(pe, R + L::kNameString, 0xffff); },
     "Damaged resource directory: a name lies outside the section"},
    {"data entry past the section", [](Bytes& pe) { Put32(pe, R + L::kNameTable + 20, 0x7ffffff0u); },
     "Damaged resource directory: a data entry lies outside the section"},
    {"data in no section", [](Bytes& pe) { Put32(pe, R + L::kDataEntry, 0x7000); },
     "Damaged resource directory: the data of ZUBTRESOR lies outside the file"},
    {"data size past the section", [](Bytes& pe) { Put32(pe, R + L::kDataEntry + 4, 0xffffffffu); },
     "Damaged resource directory: the data of ZUBTRESOR lies outside the file"},
    {"type entry is data", [](Bytes& pe) { Put32(pe, R + L::kRootTable + 20, L::kTypeTable); },
     "Damaged resource directory: a type or name entry is not a table"},
    {"language entry is a table", [](Bytes& pe) { Put32(pe, R + L::kNameTable + 20, 0x80000000u); },
     "Damaged resource directory: a language entry is not a data entry"},
    {"other type", [](Bytes& pe) { Put32(pe, R + L::kRootTable + 16, 11); }, "The executable has no resource ZUBTRESOR"},
    {"other name", [](Bytes& pe) { pe[R + L::kNameString + 2 + 16] = 'X'; }, "The executable has no resource ZUBTRESOR"},
    {"type table points at the root", [](Bytes& pe) { Put32(pe, R + L::kRootTable + 20, 0x80000000u); },
     "The executable has no resource ZUBTRESOR"},
    {"cut inside the root table", [](Bytes& pe) { pe.resize(R + 0x12); },
     "Damaged resource directory: a table lies outside the section"},
    {"cut before the data", [](Bytes& pe) { pe.resize(R + L::kData + 4); },
     "Damaged resource directory: the data of ZUBTRESOR lies outside the file"},
    {"cut in the headers", [](Bytes& pe) { pe.resize(L::kOptional + 10); },
     "Damaged executable: the headers lie outside the file"},
};

TEST(PeResourceReader, DamagedFilesGiveTheirMessage) {
    for (const TDamage& damage : kDamages) {
        Bytes pe = SoundPe();
        damage.Apply(pe);
        EXPECT_EQ(ErrorOf([&] { FindPayloadResource(pe.data(), pe.size()); }), damage.Message) << damage.What;
    }
}

// No prefix of a sound file and no single flipped byte may crash the reader.
TEST(PeResourceReader, EveryTruncationAndByteFlipIsHandled) {
    const Bytes sound = SoundPe();
    for (size_t length = 0; length < sound.size(); ++length) {
        Bytes pe(sound.begin(), sound.begin() + std::ptrdiff_t(length));
        const bool whole = length >= L::kResourceSection + L::kData + 8;  // the payload's last byte is in
        EXPECT_EQ(ErrorOf([&] { ReadResources(pe.data(), pe.size()); }) == "<no error>", whole) << length;
    }
    for (size_t at = 0; at < L::kResourceSection + L::kData; ++at) {
        Bytes pe = sound;
        pe[at] ^= 0xff;
        try {
            ReadResources(pe.data(), pe.size());
            FindPayloadResource(pe.data(), pe.size());
        } catch (const Error&) {
        }
    }
}

TPeResource Resource(TResourceName type, TResourceName name, uint16_t language, const std::string& data) {
    TPeResource r;
    r.Type = std::move(type);
    r.Name = std::move(name);
    r.Language = language;
    r.Data.assign(data.begin(), data.end());
    return r;
}

TEST(PeResourceWriter, PutsThePayloadIntoAnExecutableWithoutResources) {
    const Bytes pe = test::MakeTestPe({}, 0x1234);
    const Bytes payload = test::NoiseData(5000);
    const Bytes out = WritePayloadResource(pe, payload);
    EXPECT_EQ(ReadPayloadResource(out), payload);
    const pe::TPeImage image = pe::ParsePeImage(out.data(), out.size());
    ASSERT_EQ(image.Sections.size(), 2u);
    EXPECT_EQ(image.Sections[1].Name, ".rsrc");
    EXPECT_EQ(image.Sections[1].VirtualAddress, 0x2000u);
    EXPECT_EQ(image.Sections[1].PointerToRawData, 0x600u);
    EXPECT_EQ(image.SizeOfImage, 0x2000u + 0x2000u);  // 5000 bytes and the tree round up to two pages
    EXPECT_EQ(image.DirectoryRva(pe::kResourceDirectory), 0x2000u);
    EXPECT_EQ(out.size() % 0x200, 0u);
    EXPECT_EQ(image.CheckSum, pe::PeChecksum(out.data(), out.size(), image.CheckSumOffset));
    EXPECT_EQ(Get32(WritePayloadResource(test::MakeTestPe(), payload), L::kCheckSum), 0u);  // zero stays zero
}

TEST(PeResourceWriter, KeepsOtherResourcesAndReplacesThePayloadInEveryLanguage) {
    const std::vector<TPeResource> before = {
        Resource(TResourceName::Number(24), TResourceName::Number(1), 1033, "<assembly/>"),
        Resource(TResourceName::Number(16), TResourceName::Number(1), 0, "version"),
        Resource(TResourceName::Number(10), TResourceName::Named("ZUBTRESOR"), 1031, "old payload"),
        Resource(TResourceName::Number(10), TResourceName::Named("zubtresor"), 1033, "older payload"),
        Resource(TResourceName::Number(10), TResourceName::Named("OTHER"), 0, "other"),
    };
    const Bytes pe = WriteResources(test::MakeTestPe(), before);
    const Bytes out = WritePayloadResource(pe, test::ToBytes("new"));
    std::vector<std::string> seen;
    for (const TPeResource& r : ReadResources(out.data(), out.size()))
        seen.push_back(r.Type.ToString() + "/" + r.Name.ToString() + "/" + std::to_string(r.Language) + "=" +
                       std::string(r.Data.begin(), r.Data.end()));
    // Types and names in the loader's order: names first, upper-cased; then numbers.
    EXPECT_EQ(seen, (std::vector<std::string>{"#10/OTHER/0=other", "#10/ZUBTRESOR/0=new", "#16/#1/0=version",
                                              "#24/#1/1033=<assembly/>"}));
}

TEST(PeResourceWriter, RewritingGivesTheSameFileAsWritingOnce) {
    for (const Bytes& stub : {test::MakeTestPe(), SoundPe()}) {
        const Bytes once = WritePayloadResource(stub, test::TextData(3000));
        const Bytes twice = WritePayloadResource(WritePayloadResource(stub, test::NoiseData(9000)), test::TextData(3000));
        EXPECT_EQ(once, twice);
    }
}

TEST(PeResourceWriter, ReplacesTheResourceSectionWhenItIsLast) {
    const Bytes out = WritePayloadResource(SoundPe(), test::ToBytes("replaced"));
    EXPECT_EQ(PayloadOf(out), "replaced");
    const pe::TPeImage image = pe::ParsePeImage(out.data(), out.size());
    ASSERT_EQ(image.Sections.size(), 2u);  // the hand-made .rsrc was last: rebuilt where it was
    EXPECT_EQ(image.Sections[1].PointerToRawData, 0x600u);
}

TEST(PeResourceWriter, RefusesWhatItCannotWriteSafely) {
    Bytes tight = test::MakeTestPe();
    Put32(tight, L::kOptional + 60, uint32_t(L::kSectionTable + 40));  // no room for a second header
    Put32(tight, L::kSectionTable + 20, uint32_t(L::kSectionTable + 40));
    EXPECT_EQ(ErrorOf([&] { WritePayloadResource(tight, test::ToBytes("x")); }),
              "The executable has no room for another section header");
    // Alignments a hostile stub may claim; computed in 32 bits they would wrap around.
    for (const auto& [field, value, message] : {std::tuple{32u, 0xfffff000u, "The executable's image is too large"},
                                                std::tuple{36u, 0xffffffffu, "The executable would be too large"},
                                                std::tuple{36u, 0x80000000u, "The executable would be too large"}}) {
        Bytes hostile = test::MakeTestPe();
        Put32(hostile, L::kOptional + field, value);
        EXPECT_EQ(ErrorOf([&] { WritePayloadResource(hostile, test::ToBytes("x")); }), message) << field;
    }
    EXPECT_EQ(ErrorOf([&] { WritePayloadResource(test::ToBytes("not a program"), test::ToBytes("x")); }),
              "Not an executable: no MZ header");
    const std::vector<TPeResource> twice = {Resource(TResourceName::Number(10), TResourceName::Named("A"), 0, "1"),
                                            Resource(TResourceName::Number(10), TResourceName::Named("a"), 0, "2")};
    EXPECT_EQ(ErrorOf([&] { WriteResources(test::MakeTestPe(), twice); }), "Duplicate resource #10 a");
}

TEST(PeResourceWriter, DropsTheCertificateTableAndItsBytes) {
    for (uint32_t checkSum : {0u, 1u}) {
        const Bytes unsignedPe = test::MakeTestPe({}, checkSum);
        Bytes signedPe = unsignedPe;
        Put32(signedPe, L::kSecurityDirectory, 0x600);
        Put32(signedPe, L::kSecurityDirectory + 4, 0x10);
        signedPe.resize(0x610, 0xee);
        const TResourceLocation table = FindCertificateTable(signedPe.data(), signedPe.size());
        EXPECT_EQ(table.FileOffset, 0x600u);
        EXPECT_EQ(table.Size, 0x10u);

        const Bytes stripped = WithoutCertificateTable(signedPe);
        EXPECT_EQ(stripped.size(), unsignedPe.size());
        EXPECT_EQ(FindCertificateTable(stripped.data(), stripped.size()).Size, 0u);
        if (checkSum) {
            EXPECT_EQ(Get32(stripped, L::kCheckSum), pe::PeChecksum(stripped.data(), stripped.size(), L::kCheckSum));
        }
        // The payload goes where the table was: no signature bytes are left in the file.
        const Bytes out = WritePayloadResource(signedPe, test::ToBytes("x"));
        EXPECT_EQ(out, WritePayloadResource(unsignedPe, test::ToBytes("x")));
        EXPECT_EQ(PayloadOf(out), "x");
    }
    // A table that does not end the file is unhooked, its bytes kept; one
    // outside the file is refused when asked for, unhooked when written over.
    Bytes inside = test::MakeTestPe();
    Put32(inside, L::kSecurityDirectory, 0x500);
    Put32(inside, L::kSecurityDirectory + 4, 0x10);
    EXPECT_EQ(WithoutCertificateTable(inside).size(), inside.size());
    EXPECT_EQ(Get32(WithoutCertificateTable(inside), L::kSecurityDirectory), 0u);
    Put32(inside, L::kSecurityDirectory, 0x5000);
    EXPECT_EQ(test::ErrorOf([&] { FindCertificateTable(inside.data(), inside.size()); }),
              "The executable's certificate table lies outside the file");
    EXPECT_EQ(Get32(WritePayloadResource(inside, test::ToBytes("x")), L::kSecurityDirectory), 0u);
}

}  // namespace
}  // namespace zub
