#include "archive/zlb_format.h"

#include <cstring>

#include "base/error.h"
#include "base/path_rules.h"
#include "base/little_endian.h"

namespace zub {
namespace {

// A length byte followed by 255 character bytes.
std::string GetShortString(const TByteReader& in, size_t at) {
    const unsigned char* p = in.Bytes(at, 1 + kMaxNameLength);
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

void PutShortString(unsigned char* p, const std::string& text) {
    if (text.size() > kMaxNameLength) throw Error("Name too long for the archive: " + text);
    std::memset(p, 0, 1 + kMaxNameLength);
    p[0] = static_cast<unsigned char>(text.size());
    std::memcpy(p + 1, text.data(), text.size());
}

int32_t GetI32(const TByteReader& in, size_t at) { return static_cast<int32_t>(in.U32(at)); }
void PutI32(unsigned char* p, int32_t v) { StoreLe32(p, static_cast<uint32_t>(v)); }

template <size_t N>
void GetBytes(const TByteReader& in, size_t at, std::array<unsigned char, N>& out) {
    std::memcpy(out.data(), in.Bytes(at, N), N);
}
template <size_t N>
void PutBytes(unsigned char* p, const std::array<unsigned char, N>& in) {
    std::memcpy(p, in.data(), N);
}

}  // namespace

bool IsValidEntryName(const std::string& name) { return CheckNamePart(name) == TNameProblem::None; }

bool IsValidEntryPath(const std::string& path) { return EntryPathProblem(path) == TNameProblem::None; }

TNameProblem EntryPathProblem(const std::string& path) {
    if (path.empty()) return TNameProblem::None;
    // A folder path may end in a separator; everything else is a relative name.
    std::string folder = path;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return CheckRelativeName(folder.empty() ? path : folder);
}

TNameProblem EntryNameProblem(const TZLBFileEntry& entry, bool withPath) {
    const TNameProblem name = CheckNamePart(entry.Name);
    return name != TNameProblem::None || !withPath ? name : EntryPathProblem(entry.Path);
}

int ZlibLevelOf(TFileCompressionLevel level) {
    switch (level) {
        case fcNone: return 0;
        case fcFastest: return 1;
        case fcMaximum: return 9;
        case fcDefault: break;
    }
    return 6;
}

TZLBTrailer DecodeTrailer(const TrailerBytes& bytes) {
    namespace L = trailer_layout;
    const TByteReader in(bytes.data(), bytes.size(), "Archive trailer too short");
    TZLBTrailer t;
    t.ArchiveCRC = in.U32(L::kArchiveCRC);
    t.FileCount = GetI32(in, L::kFileCount);
    t.Reserved = GetI32(in, L::kReserved);
    t.DirectorySize = GetI32(in, L::kDirectorySize);
    t.DirectoryOffset = GetI32(in, L::kDirectoryOffset);
    t.DirectoryCompressed = *in.Bytes(L::kDirectoryCompressed, 1) != 0;
    GetBytes(in, L::kPadding1, t.Padding1);
    GetBytes(in, L::kPadding2, t.Padding2);
    return t;
}

TrailerBytes EncodeTrailer(const TZLBTrailer& t) {
    namespace L = trailer_layout;
    TrailerBytes bytes{};
    unsigned char* p = bytes.data();
    StoreLe32(p + L::kArchiveCRC, t.ArchiveCRC);
    PutI32(p + L::kFileCount, t.FileCount);
    PutI32(p + L::kReserved, t.Reserved);
    PutI32(p + L::kDirectorySize, t.DirectorySize);
    PutI32(p + L::kDirectoryOffset, t.DirectoryOffset);
    p[L::kDirectoryCompressed] = t.DirectoryCompressed ? 1 : 0;
    PutBytes(p + L::kPadding1, t.Padding1);
    PutBytes(p + L::kPadding2, t.Padding2);
    return bytes;
}

TZLBFileEntry DecodeFileEntry(const unsigned char* data, size_t size) {
    namespace L = entry_layout;
    const TByteReader in(data, size, "Directory record too short");
    in.Need(0, kFileEntrySize);
    TZLBFileEntry e;
    e.Name = GetShortString(in, L::kName);
    e.Path = GetShortString(in, L::kPath);
    e.UnpackedSize = GetI32(in, L::kUnpackedSize);
    e.StoredSize = GetI32(in, L::kStoredSize);
    e.Offset = GetI32(in, L::kOffset);
    e.CRC32 = in.U32(L::kCRC32);
    e.Stored = *in.Bytes(L::kStored, 1) != 0;
    GetBytes(in, L::kPadding, e.Padding);
    return e;
}

void EncodeFileEntry(const TZLBFileEntry& e, unsigned char* out) {
    namespace L = entry_layout;
    PutShortString(out + L::kName, e.Name);
    PutShortString(out + L::kPath, e.Path);
    PutI32(out + L::kUnpackedSize, e.UnpackedSize);
    PutI32(out + L::kStoredSize, e.StoredSize);
    PutI32(out + L::kOffset, e.Offset);
    StoreLe32(out + L::kCRC32, e.CRC32);
    out[L::kStored] = e.Stored ? 1 : 0;
    PutBytes(out + L::kPadding, e.Padding);
}

FileEntryBytes EncodeFileEntry(const TZLBFileEntry& entry) {
    FileEntryBytes bytes{};
    EncodeFileEntry(entry, bytes.data());
    return bytes;
}

}  // namespace zub
