#include "archive/pe_image.h"

#include <algorithm>

#include "base/error.h"
#include "base/little_endian.h"

namespace zub::pe {
namespace {

// Offsets inside the optional header that differ between PE32 and PE32+.
struct TOptionalLayout {
    size_t DataDirectories;
    size_t NumberOfRvaAndSizes;
};

TOptionalLayout LayoutOf(uint16_t magic) {
    if (magic == kPe32Magic) return {kPe32DataDirectories, kPe32NumberOfRvaAndSizes};
    if (magic == kPe32PlusMagic) return {kPe32PlusDataDirectories, kPe32PlusNumberOfRvaAndSizes};
    throw Error("Damaged executable: unknown optional header");
}

TPeSection ReadSection(const TByteReader& in, size_t at) {
    TPeSection section;
    section.HeaderOffset = at;
    const unsigned char* name = in.Bytes(at, kSectionHeaderSize);
    section.Name.assign(reinterpret_cast<const char*>(name), kSectionNameSize);
    section.Name.resize(std::min(section.Name.find('\0'), kSectionNameSize));
    section.VirtualSize = in.U32(at + kSectionVirtualSize);
    section.VirtualAddress = in.U32(at + kSectionVirtualAddress);
    section.SizeOfRawData = in.U32(at + kSectionSizeOfRawData);
    section.PointerToRawData = in.U32(at + kSectionPointerToRawData);
    section.Characteristics = in.U32(at + kSectionCharacteristics);
    return section;
}

}  // namespace

uint64_t TPeSection::VirtualEnd() const {
    return uint64_t(VirtualAddress) + std::max(VirtualSize, SizeOfRawData);
}

uint32_t TPeImage::DirectoryRva(int index) const {
    return uint32_t(index) < NumberOfRvaAndSizes ? Directories[size_t(index)].first : 0;
}

uint32_t TPeImage::DirectorySize(int index) const {
    return uint32_t(index) < NumberOfRvaAndSizes ? Directories[size_t(index)].second : 0;
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
    const TByteReader in(data, size, "Damaged executable: the headers lie outside the file");
    const uint32_t peOffset = in.U32(kPeHeaderPointer, "Not an executable: the file is too short");
    if (in.U32(peOffset, "Not an executable: the PE header lies outside the file") != kPeSignature)
        throw Error("Not an executable: no PE signature");

    TPeImage image;
    image.FileSize = size;
    const size_t fileHeader = size_t(peOffset) + 4;
    image.NumberOfSectionsOffset = fileHeader + kNumberOfSections;
    const uint16_t sectionCount = in.U16(fileHeader + kNumberOfSections);
    const uint16_t optionalSize = in.U16(fileHeader + kSizeOfOptionalHeader);
    image.OptionalHeaderOffset = fileHeader + kFileHeaderSize;
    const size_t opt = image.OptionalHeaderOffset;
    const TOptionalLayout layout = LayoutOf(in.U16(opt));
    if (optionalSize < layout.DataDirectories) throw Error("Damaged executable: the optional header is too short");

    image.SectionAlignment = in.U32(opt + kSectionAlignment);
    image.FileAlignment = in.U32(opt + kFileAlignment);
    image.SizeOfImageOffset = opt + kSizeOfImage;
    image.SizeOfImage = in.U32(opt + kSizeOfImage);
    image.SizeOfHeaders = in.U32(opt + kSizeOfHeaders);
    image.CheckSumOffset = opt + kCheckSum;
    image.CheckSum = in.U32(opt + kCheckSum);
    image.DataDirectoryOffset = opt + layout.DataDirectories;
    // Only as many directories as the optional header has room for count.
    const size_t roomForDirectories = (optionalSize - layout.DataDirectories) / kDataDirectoryEntrySize;
    image.NumberOfRvaAndSizes = std::min<uint32_t>(
        in.U32(opt + layout.NumberOfRvaAndSizes),
        uint32_t(std::min<size_t>(roomForDirectories, kMaxDataDirectories)));
    for (uint32_t i = 0; i < image.NumberOfRvaAndSizes; ++i) {
        const size_t entry = image.DirectoryEntryOffset(int(i));
        image.Directories.emplace_back(in.U32(entry), in.U32(entry + 4));
    }
    if (image.FileAlignment == 0 || image.SectionAlignment == 0)
        throw Error("Damaged executable: the section alignment is zero");

    image.SectionTableOffset = opt + optionalSize;
    const TByteReader table(data, size, "Damaged executable: the section table lies outside the file");
    for (uint16_t i = 0; i < sectionCount; ++i)
        image.Sections.push_back(ReadSection(table, image.SectionTableOffset + size_t(i) * kSectionHeaderSize));
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
