// Where the fields of a PE executable lie, for the reader and the writer
// alike: offsets from the start of the structure each group belongs to.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zub::pe {

// The DOS header's pointer to the PE signature, and the signature ("PE\0\0").
constexpr size_t kPeHeaderPointer = 0x3c;
constexpr uint32_t kPeSignature = 0x00004550;

// The file header, which follows the 4-byte signature.
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kNumberOfSections = 2;
constexpr size_t kSizeOfOptionalHeader = 16;

// The optional header, which follows the file header.
constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr size_t kSectionAlignment = 32;
constexpr size_t kFileAlignment = 36;
constexpr size_t kSizeOfImage = 56;
constexpr size_t kSizeOfHeaders = 60;
constexpr size_t kCheckSum = 64;
// These two differ between PE32 and PE32+.
constexpr size_t kPe32NumberOfRvaAndSizes = 92, kPe32DataDirectories = 96;
constexpr size_t kPe32PlusNumberOfRvaAndSizes = 108, kPe32PlusDataDirectories = 112;
// Each data directory entry: RVA, size.
constexpr size_t kDataDirectoryEntrySize = 8;
constexpr uint32_t kMaxDataDirectories = 16;
constexpr int kResourceDirectory = 2;
constexpr int kSecurityDirectory = 4;  // certificates; an offset in the file, not an RVA

// A section header in the table behind the optional header.
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kSectionNameSize = 8;
constexpr size_t kSectionVirtualSize = 8;
constexpr size_t kSectionVirtualAddress = 12;
constexpr size_t kSectionSizeOfRawData = 16;
constexpr size_t kSectionPointerToRawData = 20;
constexpr size_t kSectionCharacteristics = 36;

// The resource tree: a table is a header and entries; a leaf a data entry.
constexpr size_t kResourceTableHeaderSize = 16;
constexpr size_t kResourceNamedEntries = 12;
constexpr size_t kResourceIdEntries = 14;
constexpr size_t kResourceTableEntrySize = 8;  // name or id, target
constexpr size_t kResourceDataEntrySize = 16;  // RVA, size, code page, reserved
constexpr size_t kResourceDataSize = 4;
constexpr size_t kResourceDataCodePage = 8;
// Set in a table entry's name (a name string follows) or target (a sub-table).
constexpr uint32_t kResourceHighBit = 0x80000000u;

}  // namespace zub::pe
