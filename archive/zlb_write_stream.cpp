#include "archive/zlb_write_stream.h"

namespace zub {
namespace zlbwrite {

void CopyStored(SourceReader& in, ArchiveSink& sink, TZLBFileEntry& entry) {
    uLong crc = crc32(0, nullptr, 0);
    const unsigned char* data = nullptr;
    while (size_t n = in.Next(data)) {
        crc = crc32(crc, data, static_cast<uInt>(n));
        sink.Write(data, n, true);
    }
    entry.StoredSize = entry.UnpackedSize;
    entry.CRC32 = static_cast<uint32_t>(crc);
    entry.Stored = true;
    // Stored bytes are the data itself, so their CRC is the entry's.
    sink.EndSegment(crc);
}

TZLBFileEntry NewEntryRecord(const std::string& name, const std::string& path, int64_t size) {
    TZLBFileEntry entry;
    entry.Name = name;
    entry.Path = path;
    entry.UnpackedSize = static_cast<int32_t>(size);
    return entry;
}

// Packs one entry at the sink's position and returns its directory record.
TZLBFileEntry EncodeEntry(const std::string& name, const std::string& path, SourceReader& in,
                          ArchiveSink& sink, int level) {
    TZLBFileEntry entry = NewEntryRecord(name, path, in.Size());
    entry.Offset = static_cast<int32_t>(sink.Position());
    const bool tryDeflate = level > 0 && in.Size() > 0;
    if (!tryDeflate || !TryDeflate(in, sink, level, entry)) {
        if (tryDeflate) {
            sink.RestartSegment();
            in.Rewind();
        }
        CopyStored(in, sink, entry);
    } else {
        sink.EndSegment();
    }
    return entry;
}

}  // namespace zlbwrite
}  // namespace zub
