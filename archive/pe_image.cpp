#include "archive/pe_image.h"

#include <algorithm>

#include "base/error.h"

namespace zub::pe {
namespace {

constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr size_t kFileHeaderSize = 20;

// Offsets inside the optional header that differ between PE32 and PE32+.
struct TOptionalLayout {
    size_t DataDirectories;
    size_t NumberOfRvaAndSizes;
};

TOptionalLayout LayoutOf(uint16_t magic) {
    if (magic == kPe32Magic) return {96, 92};
    if (magic == kPe32PlusMagic) return {112, 108};
    throw Error("Damaged executable: unknown optional header");
}

}  // namespace

uint16_t ReadU16(const unsigned char* data, size_t size, size_t offset, const char* what) {
    if (offset > size || size - offset < 2) throw Error(what);
    return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

uint32_t ReadU32(const unsigned char* data, size_t size, size_t offset, const char* what) {
    if (offset > size || size - offset < 4) throw Error(what);
    return uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 | uint32_t(data[offset + 2]) << 16 |
           uint32_t(data[offset + 3]) << 24;
}

void PutU16(std::vector<unsigned char>& bytes, size_t offset, uint16_t value) {
    bytes.at(offset + 1);
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void PutU32(std::vector<unsigned char>& bytes, size_t offset, uint32_t value) {
    bytes.at(offset + 3);
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t TPeSection::VirtualEnd() const {
    return uint64_t(VirtualAddress) + std::max(VirtualSize, SizeOfRawData);
}

uint32_t TPeImage::DirectoryRva(int index) const {
    return uint32_t(index) < NumberOfRvaAndSizes ? directories_[size_t(index)].first : 0;
}

uint32_t TPeImage::DirectorySize(int index) const {
    return uint32_t(index) < NumberOfRvaAndSizes ? directories_[size_t(index)].second : 0;
}

const TPeSection* TPeImage::SectionOf(uint32_t rva) const {
    for (const TPeSection& section : Sections)
        if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData) return &section;
    return nullptr;
}

std::optional<size_t> TPeImage::FileOffsetOf(uint32_t rva, uint32_t length) const {
    const TPeSection* section = SectionOf(rva);
    if (!section) return std::nullopt;
    const uint64_t inSection = rva - section->VirtualAddress;
    if (inSection + length > section->SizeOfRawData) return std::nullopt;
    const uint64_t offset = section->PointerToRawData + inSection;
    if (offset + length > FileSize) return std::nullopt;
    return static_cast<size_t>(offset);
}

TPeImage ParsePeImage(const unsigned char* data, size_t size) {
    if (size < 2 || data[0] != 'M' || data[1] != 'Z') throw Error("Not an executable: no MZ header");
    const uint32_t peOffset = ReadU32(data, size, 0x3c, "Not an executable: the file is too short");
    if (ReadU32(data, size, peOffset, "Not an executable: the PE header lies outside the file") != 0x00004550)
        throw Error("Not an executable: no PE signature");

    TPeImage image;
    image.FileSize = size;
    const size_t fileHeader = size_t(peOffset) + 4;
    const char* headerShort = "Damaged executable: the headers lie outside the file";
    image.NumberOfSectionsOffset = fileHeader + 2;
    const uint16_t sectionCount = ReadU16(data, size, fileHeader + 2, headerShort);
    const uint16_t optionalSize = ReadU16(data, size, fileHeader + 16, headerShort);
    image.OptionalHeaderOffset = fileHeader + kFileHeaderSize;
    const size_t opt = image.OptionalHeaderOffset;
    const TOptionalLayout layout = LayoutOf(ReadU16(data, size, opt, headerShort));
    if (optionalSize < layout.DataDirectories) throw Error("Damaged executable: the optional header is too short");

    image.SectionAlignment = ReadU32(data, size, opt + 32, headerShort);
    image.FileAlignment = ReadU32(data, size, opt + 36, headerShort);
    image.SizeOfImageOffset = opt + 56;
    image.SizeOfImage = ReadU32(data, size, opt + 56, headerShort);
    image.SizeOfHeaders = ReadU32(data, size, opt + 60, headerShort);
    image.CheckSumOffset = opt + 64;
    image.CheckSum = ReadU32(data, size, opt + 64, headerShort);
    image.NumberOfRvaAndSizes = ReadU32(data, size, opt + layout.NumberOfRvaAndSizes, headerShort);
    image.DataDirectoryOffset = opt + layout.DataDirectories;
    // Only as many directories as the optional header has room for count.
    const size_t roomForDirectories = (optionalSize - layout.DataDirectories) / 8;
    image.NumberOfRvaAndSizes = std::min<uint32_t>(image.NumberOfRvaAndSizes, uint32_t(std::min<size_t>(roomForDirectories, 16)));
    for (uint32_t i = 0; i < image.NumberOfRvaAndSizes; ++i) {
        const size_t entry = image.DataDirectoryOffset + size_t(i) * 8;
        image.directories_.emplace_back(ReadU32(data, size, entry, headerShort),
                                        ReadU32(data, size, entry + 4, headerShort));
    }
    if (image.FileAlignment == 0 || image.SectionAlignment == 0)
        throw Error("Damaged executable: the section alignment is zero");

    image.SectionTableOffset = opt + optionalSize;
    const char* tableShort = "Damaged executable: the section table lies outside the file";
    for (uint16_t i = 0; i < sectionCount; ++i) {
        TPeSection section;
        section.HeaderOffset = image.SectionTableOffset + size_t(i) * kSectionHeaderSize;
        const size_t h = section.HeaderOffset;
        ReadU32(data, size, h + kSectionHeaderSize - 4, tableShort);
        section.Name.assign(reinterpret_cast<const char*>(data + h), 8);
        section.Name.resize(section.Name.find('\0') == std::string::npos ? 8 : section.Name.find('\0'));
        section.VirtualSize = ReadU32(data, size, h + 8, tableShort);
        section.VirtualAddress = ReadU32(data, size, h + 12, tableShort);
        section.SizeOfRawData = ReadU32(data, size, h + 16, tableShort);
        section.PointerToRawData = ReadU32(data, size, h + 20, tableShort);
        section.Characteristics = ReadU32(data, size, h + 36, tableShort);
        image.Sections.push_back(section);
    }
    return image;
}

uint32_t PeChecksum(const unsigned char* data, size_t size, size_t checkSumOffset) {
    uint64_t sum = 0;
    for (size_t i = 0; i < size; i += 2) {
        if (i >= checkSumOffset && i < checkSumOffset + 4) continue;
        uint32_t word = data[i];
        if (i + 1 < size) word |= uint32_t(data[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xffff) + (sum >> 16);
    }
    sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<uint32_t>(sum + size);
}

}  // namespace zub::pe
