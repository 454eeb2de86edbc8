// The archive container format, shared by the reader (TZLBArchive) and the
// writer (TZLBWriter).
//
// An archive of S bytes holds, in this order: the entry data from offset 0
// (each entry one zlib stream or stored plainly), the directory at
// DirectoryOffset (FileCount records of 532 bytes, one zlib stream or plain),
// and a 36-byte trailer at S - 36 whose ArchiveCRC covers bytes 0 to S - 37.
// All integers are little-endian. There is no magic number: an archive is
// recognised only by its trailer CRC.
//
// Records are encoded and decoded field by field; their in-memory structs
// have no fixed layout and are never copied from file bytes as a whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/path_rules.h"

namespace zub {

// The trailer: the last 36 bytes of an archive.
namespace trailer_layout {
constexpr size_t kArchiveCRC = 0;           // uint32
constexpr size_t kFileCount = 4;            // int32
constexpr size_t kReserved = 8;             // int32, written as 1
constexpr size_t kDirectorySize = 12;       // int32
constexpr size_t kDirectoryOffset = 16;     // int32
constexpr size_t kDirectoryCompressed = 20; // bool byte
constexpr size_t kPadding1 = 21;            // 3 bytes
constexpr size_t kPadding2 = 24;            // 12 bytes
constexpr size_t kSize = 36;
}  // namespace trailer_layout

// A directory record: 532 bytes per entry.
namespace entry_layout {
constexpr size_t kName = 0;                 // length byte + 255 characters
constexpr size_t kPath = 256;               // length byte + 255 characters
constexpr size_t kUnpackedSize = 512;       // int32
constexpr size_t kStoredSize = 516;         // int32
constexpr size_t kOffset = 520;             // int32
constexpr size_t kCRC32 = 524;              // uint32
constexpr size_t kStored = 528;             // bool byte
constexpr size_t kPadding = 529;            // 3 bytes, left alone by readers
constexpr size_t kSize = 532;
}  // namespace entry_layout

constexpr size_t kTrailerSize = trailer_layout::kSize;
constexpr size_t kFileEntrySize = entry_layout::kSize;
constexpr size_t kMaxNameLength = 255;  // of Name and Path, in bytes

static_assert(trailer_layout::kPadding2 + 12 == kTrailerSize, "trailer is 36 bytes");
static_assert(trailer_layout::kDirectoryCompressed + 1 == trailer_layout::kPadding1 &&
                  trailer_layout::kPadding1 + 3 == trailer_layout::kPadding2,
              "trailer padding follows the compressed flag");
static_assert(entry_layout::kPath == entry_layout::kName + 1 + kMaxNameLength &&
                  entry_layout::kUnpackedSize == entry_layout::kPath + 1 + kMaxNameLength,
              "Name and Path are 256-byte length-prefixed strings");
static_assert(entry_layout::kPadding + 3 == kFileEntrySize, "record is 532 bytes");

enum TFileCompressionLevel { fcNone, fcFastest, fcDefault, fcMaximum };

// Names an entry may carry, for reader and writer alike (base/path_rules.h).
// A Name is one plain file name: no separator, no "." or "..", no device,
// stream, control character or trailing dot or blank. A Path is a relative
// folder: empty, or such names joined by "\" (or "/"), with no drive, UNC
// prefix or leading separator; a trailing separator is allowed.
bool IsValidEntryName(const std::string& name);
bool IsValidEntryPath(const std::string& path);
TNameProblem EntryPathProblem(const std::string& path);

// The zlib level for a compression level: 0 (store), 1, 6 or 9.
int ZlibLevelOf(TFileCompressionLevel level);

struct TZLBTrailer {
    uint32_t ArchiveCRC = 0;
    int32_t FileCount = 0;
    int32_t Reserved = 0;
    int32_t DirectorySize = 0;
    int32_t DirectoryOffset = 0;
    bool DirectoryCompressed = false;
    std::array<unsigned char, 3> Padding1{};
    std::array<unsigned char, 12> Padding2{};
};

struct TZLBFileEntry {
    std::string Name;  // at most 255 bytes; file name without folder
    std::string Path;  // at most 255 bytes; relative folder, used with ExtractWithPath
    int32_t UnpackedSize = 0;
    int32_t StoredSize = 0;
    int32_t Offset = 0;
    uint32_t CRC32 = 0;
    bool Stored = false;  // true: data is plain, StoredSize == UnpackedSize
    // Producers leave arbitrary bytes here (03 00 00 and 02 00 00 are common);
    // they are kept so that decoding and encoding a record gives it back.
    std::array<unsigned char, 3> Padding{};
};

// Why the reader refuses to extract the entry: its Name, then, when it
// extracts with paths, its Path (the rules of IsValidEntryName and
// IsValidEntryPath); None when the names are sound.
TNameProblem EntryNameProblem(const TZLBFileEntry& entry, bool withPath);

using TrailerBytes = std::array<unsigned char, kTrailerSize>;
using FileEntryBytes = std::array<unsigned char, kFileEntrySize>;

TZLBTrailer DecodeTrailer(const TrailerBytes& bytes);
TrailerBytes EncodeTrailer(const TZLBTrailer& trailer);

// Decodes the record at `data`, which must hold at least kFileEntrySize bytes
// (raises zub::Error otherwise). Bytes past a string's length are ignored.
TZLBFileEntry DecodeFileEntry(const unsigned char* data, size_t size);
// Writes one record into `out` (kFileEntrySize bytes); string bytes past the
// length are zero. Raises zub::Error for a Name or Path longer than 255 bytes.
void EncodeFileEntry(const TZLBFileEntry& entry, unsigned char* out);
FileEntryBytes EncodeFileEntry(const TZLBFileEntry& entry);

}  // namespace zub
