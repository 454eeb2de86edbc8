// Small PE executables put together byte by byte for the resource tests:
// headers, one code section and optionally a resource section whose tree is
// laid out by hand, independently of the resource writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zub::test {

namespace pe_layout {
constexpr size_t kPeOffset = 0x80;
constexpr size_t kFileHeader = kPeOffset + 4;
constexpr size_t kOptional = kFileHeader + 20;
constexpr size_t kSizeOfImage = kOptional + 56;
constexpr size_t kCheckSum = kOptional + 64;
constexpr size_t kDirectories = kOptional + 96;
constexpr size_t kResourceDirectory = kDirectories + 2 * 8;
constexpr size_t kSecurityDirectory = kDirectories + 4 * 8;
constexpr size_t kSectionTable = kOptional + 224;
constexpr size_t kResourceSection = 0x600;  // file offset of the hand-made .rsrc
constexpr uint32_t kResourceRva = 0x2000;
// Inside the hand-made resource section:
constexpr size_t kRootTable = 0x00;
constexpr size_t kTypeTable = 0x18;
constexpr size_t kNameTable = 0x30;
constexpr size_t kDataEntry = 0x48;
constexpr size_t kNameString = 0x58;
constexpr size_t kData = 0x70;
}  // namespace pe_layout

inline void Put16(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    b.at(at + 1);
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xffff);
    Put16(b, at + 2, v >> 16);
}
inline uint32_t Get32(const std::vector<unsigned char>& b, size_t at) {
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 | uint32_t(b.at(at + 3)) << 24;
}

inline void PutSection(std::vector<unsigned char>& pe, int index, const char* name, uint32_t rva, uint32_t size,
                       uint32_t fileOffset, uint32_t flags) {
    const size_t h = pe_layout::kSectionTable + size_t(index) * 40;
    for (int i = 0; i < 8 && name[i]; ++i) pe[h + size_t(i)] = static_cast<unsigned char>(name[i]);
    Put32(pe, h + 8, size);
    Put32(pe, h + 12, rva);
    Put32(pe, h + 16, 0x200);
    Put32(pe, h + 20, fileOffset);
    Put32(pe, h + 36, flags);
}

// The resource section of one RCDATA resource named `name` (language 1031).
inline std::vector<unsigned char> HandMadeResources(const std::string& name, const std::string& data) {
    using namespace pe_layout;
    std::vector<unsigned char> s(0x200, 0);
    Put16(s, kRootTable + 14, 1);
    Put32(s, kRootTable + 16, 10);
    Put32(s, kRootTable + 20, 0x80000000u | kTypeTable);
    Put16(s, kTypeTable + 12, 1);
    Put32(s, kTypeTable + 16, 0x80000000u | kNameString);
    Put32(s, kTypeTable + 20, 0x80000000u | kNameTable);
    Put16(s, kNameTable + 14, 1);
    Put32(s, kNameTable + 16, 1031);
    Put32(s, kNameTable + 20, kDataEntry);
    Put32(s, kDataEntry, kResourceRva + kData);
    Put32(s, kDataEntry + 4, uint32_t(data.size()));
    Put16(s, kNameString, uint32_t(name.size()));
    for (size_t i = 0; i < name.size(); ++i) Put16(s, kNameString + 2 + 2 * i, static_cast<unsigned char>(name[i]));
    std::copy(data.begin(), data.end(), s.begin() + kData);
    return s;
}

// A 32-bit executable: headers (0x400 bytes), .text at RVA 0x1000 and, when
// `resources` is not empty, .rsrc at RVA 0x2000 (file offset 0x600).
inline std::vector<unsigned char> MakeTestPe(const std::vector<unsigned char>& resources = {},
                                             uint32_t checkSum = 0) {
    using namespace pe_layout;
    std::vector<unsigned char> pe(0x600, 0);
    pe[0] = 'M';
    pe[1] = 'Z';
    Put32(pe, 0x3c, kPeOffset);
    Put32(pe, kPeOffset, 0x00004550);
    const bool withResources = !resources.empty();
    Put16(pe, kFileHeader, 0x14c);
    Put16(pe, kFileHeader + 2, withResources ? 2 : 1);
    Put16(pe, kFileHeader + 16, 224);
    Put16(pe, kFileHeader + 18, 0x0102);
    Put16(pe, kOptional, 0x10b);
    Put32(pe, kOptional + 16, 0x1000);      // entry point
    Put32(pe, kOptional + 28, 0x400000);    // image base
    Put32(pe, kOptional + 32, 0x1000);      // section alignment
    Put32(pe, kOptional + 36, 0x200);       // file alignment
    Put16(pe, kOptional + 40, 4);           // operating system version
    Put16(pe, kOptional + 48, 4);           // subsystem version
    Put32(pe, kSizeOfImage, withResources ? 0x3000 : 0x2000);
    Put32(pe, kOptional + 60, 0x400);       // size of headers
    Put32(pe, kCheckSum, checkSum);
    Put16(pe, kOptional + 68, 2);           // GUI
    Put32(pe, kOptional + 92, 16);
    PutSection(pe, 0, ".text", 0x1000, 0x10, 0x400, 0x60000020u);
    pe[0x400] = 0xc3;
    if (withResources) {
        PutSection(pe, 1, ".rsrc", kResourceRva, uint32_t(resources.size()), uint32_t(kResourceSection), 0x40000040u);
        Put32(pe, kResourceDirectory, kResourceRva);
        Put32(pe, kResourceDirectory + 4, uint32_t(resources.size()));
        pe.insert(pe.end(), resources.begin(), resources.end());
        pe.resize(0x800, 0);
    }
    return pe;
}

}  // namespace zub::test
