#include "archive/zlb_format.h"

#include <cstring>

#include "base/error.h"

namespace zub {
namespace {

uint32_t GetU32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t GetI32(const unsigned char* p) { return static_cast<int32_t>(GetU32(p)); }

void PutU32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
void PutI32(unsigned char* p, int32_t v) { PutU32(p, static_cast<uint32_t>(v)); }

// A length byte followed by 255 character bytes.
std::string GetShortString(const unsigned char* p) {
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

void PutShortString(unsigned char* p, const std::string& text) {
    if (text.size() > kMaxNameLength) throw Error("Name too long for the archive: " + text);
    std::memset(p, 0, 1 + kMaxNameLength);
    p[0] = static_cast<unsigned char>(text.size());
    std::memcpy(p + 1, text.data(), text.size());
}

template <size_t N>
void GetBytes(const unsigned char* p, std::array<unsigned char, N>& out) {
    std::memcpy(out.data(), p, N);
}
template <size_t N>
void PutBytes(unsigned char* p, const std::array<unsigned char, N>& in) {
    std::memcpy(p, in.data(), N);
}

bool IsDotsAndBlanks(const std::string& part) {
    for (char c : part)
        if (c != '.' && c != ' ') return false;
    return true;
}

}  // namespace

bool IsValidEntryName(const std::string& name) {
    return !IsDotsAndBlanks(name) && name.find_first_of("\\/:") == std::string::npos;
}

bool IsValidEntryPath(const std::string& path) {
    if (path.empty()) return true;
    if (path.find(':') != std::string::npos || path[0] == '\\' || path[0] == '/') return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (!part.empty() && IsDotsAndBlanks(part)) return false;
        start = end + 1;
    }
    return true;
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
    const unsigned char* p = bytes.data();
    TZLBTrailer t;
    t.ArchiveCRC = GetU32(p + L::kArchiveCRC);
    t.FileCount = GetI32(p + L::kFileCount);
    t.Reserved = GetI32(p + L::kReserved);
    t.DirectorySize = GetI32(p + L::kDirectorySize);
    t.DirectoryOffset = GetI32(p + L::kDirectoryOffset);
    t.DirectoryCompressed = p[L::kDirectoryCompressed] != 0;
    GetBytes(p + L::kPadding1, t.Padding1);
    GetBytes(p + L::kPadding2, t.Padding2);
    return t;
}

TrailerBytes EncodeTrailer(const TZLBTrailer& t) {
    namespace L = trailer_layout;
    TrailerBytes bytes{};
    unsigned char* p = bytes.data();
    PutU32(p + L::kArchiveCRC, t.ArchiveCRC);
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
    if (size < kFileEntrySize) throw Error("Directory record too short");
    TZLBFileEntry e;
    e.Name = GetShortString(data + L::kName);
    e.Path = GetShortString(data + L::kPath);
    e.UnpackedSize = GetI32(data + L::kUnpackedSize);
    e.StoredSize = GetI32(data + L::kStoredSize);
    e.Offset = GetI32(data + L::kOffset);
    e.CRC32 = GetU32(data + L::kCRC32);
    e.Stored = data[L::kStored] != 0;
    GetBytes(data + L::kPadding, e.Padding);
    return e;
}

void EncodeFileEntry(const TZLBFileEntry& e, unsigned char* out) {
    namespace L = entry_layout;
    PutShortString(out + L::kName, e.Name);
    PutShortString(out + L::kPath, e.Path);
    PutI32(out + L::kUnpackedSize, e.UnpackedSize);
    PutI32(out + L::kStoredSize, e.StoredSize);
    PutI32(out + L::kOffset, e.Offset);
    PutU32(out + L::kCRC32, e.CRC32);
    out[L::kStored] = e.Stored ? 1 : 0;
    PutBytes(out + L::kPadding, e.Padding);
}

FileEntryBytes EncodeFileEntry(const TZLBFileEntry& entry) {
    FileEntryBytes bytes{};
    EncodeFileEntry(entry, bytes.data());
    return bytes;
}

}  // namespace zub
