// The headers of a PE executable (32- or 64-bit) as far as resource reading
// and writing need them: the section table, a few optional-header fields and
// the data directories. Every field is read with its offset checked against
// the file, so damaged files raise zub::Error and are never read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/pe_layout.h"

namespace zub::pe {

struct TPeSection {
    std::string Name;  // up to 8 bytes, as stored
    uint32_t VirtualSize = 0;
    uint32_t VirtualAddress = 0;
    uint32_t SizeOfRawData = 0;
    uint32_t PointerToRawData = 0;
    uint32_t Characteristics = 0;
    size_t HeaderOffset = 0;  // of its 40-byte header in the file

    // Where the section ends in memory (its raw data may be larger than VirtualSize).
    uint64_t VirtualEnd() const;
};

struct TPeImage {
    size_t FileSize = 0;
    size_t OptionalHeaderOffset = 0;
    size_t NumberOfSectionsOffset = 0;
    size_t SizeOfImageOffset = 0;
    size_t CheckSumOffset = 0;
    size_t DataDirectoryOffset = 0;  // first of NumberOfRvaAndSizes 8-byte entries
    uint32_t NumberOfRvaAndSizes = 0;
    size_t SectionTableOffset = 0;
    uint32_t SectionAlignment = 0;
    uint32_t FileAlignment = 0;
    uint32_t SizeOfImage = 0;
    uint32_t SizeOfHeaders = 0;
    uint32_t CheckSum = 0;
    std::vector<TPeSection> Sections;
    std::vector<std::pair<uint32_t, uint32_t>> Directories;  // RVA, size

    // RVA and size of data directory `index`; {0, 0} when the table is shorter.
    uint32_t DirectoryRva(int index) const;
    uint32_t DirectorySize(int index) const;
    size_t DirectoryEntryOffset(int index) const { return DataDirectoryOffset + size_t(index) * kDataDirectoryEntrySize; }

    // The section whose raw data holds `rva`, or null.
    const TPeSection* SectionOf(uint32_t rva) const;
    // The file offset of `length` bytes at `rva`, when all of them lie in the
    // raw data of one section and inside the file.
    std::optional<size_t> FileOffsetOf(uint32_t rva, uint32_t length) const;
};

// Parses the headers. Raises zub::Error for anything that is not a PE file or
// whose headers or section table do not fit the file.
TPeImage ParsePeImage(const unsigned char* data, size_t size);

// The checksum the loader's CheckSumMappedFile computes: 16-bit sums with
// the carry folded in, the checksum field itself counted as zero, plus the
// file length.
uint32_t PeChecksum(const unsigned char* data, size_t size, size_t checkSumOffset);

}  // namespace zub::pe
