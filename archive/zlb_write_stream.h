// The writer's stream side, shared by its ways of saving: reading a source in
// blocks, the archive output with its running CRC, and packing one entry as a
// zlib stream or as stored data.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/zlb_format.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace zlbwrite {

inline constexpr size_t kReadBlockSize = 256 * 1024;
inline constexpr size_t kDeflateOutSize = 64 * 1024;
inline constexpr int64_t kMaxArchiveSize = INT32_MAX;

inline Error TooLarge() { return Error("The archive would be larger than 2147483647 bytes"); }

// Reads the data of one source from its start, in blocks.
class SourceReader {
public:
    SourceReader(const std::string& sourcePath, const std::vector<unsigned char>& bytes)
        : sourcePath_(sourcePath), bytes_(bytes) {
        if (sourcePath_.empty()) {
            size_ = int64_t(bytes_.size());
        } else {
            file_ = fs::File::OpenRead(sourcePath_);
            if (!file_.IsOpen()) throw Error(Format("Unable to open file (%s)", sourcePath_.c_str()));
            size_ = file_.Size();
            block_.resize(static_cast<size_t>(std::clamp<int64_t>(size_, 1, int64_t(kReadBlockSize))));
        }
        if (size_ > INT32_MAX) throw Error(Format("File too large for the archive: %s", sourcePath_.c_str()));
        left_ = size_;
    }

    int64_t Size() const { return size_; }

    void Rewind() {
        left_ = size_;
        if (file_.IsOpen()) file_.Seek(0);
    }

    // The next block of data; 0 at the end. Raises when the file has become
    // shorter than it was when opened.
    size_t Next(const unsigned char*& data) {
        if (left_ <= 0) return 0;
        if (sourcePath_.empty()) {
            data = bytes_.data();
            left_ = 0;
            return bytes_.size();
        }
        size_t want = static_cast<size_t>(std::min<int64_t>(left_, int64_t(block_.size())));
        size_t got = file_.Read(block_.data(), want);
        if (got < want) throw Error(Format("Unable to read file (%s)", sourcePath_.c_str()));
        left_ -= int64_t(got);
        data = block_.data();
        return got;
    }

private:
    const std::string& sourcePath_;
    const std::vector<unsigned char>& bytes_;
    fs::File file_;
    std::vector<unsigned char> block_;
    int64_t size_ = 0;
    int64_t left_ = 0;
};

}  // namespace zlbwrite

// The archive output. It keeps the CRC of everything written by segments
// (one per entry, combined with crc32_combine), so that an entry whose
// compressed form turned out too big can be written again as stored data.
class ArchiveSink {
public:
    explicit ArchiveSink(fs::File& file) : file_(file), writer_(file) {}

    int64_t Position() const { return position_; }

    // `knownCrc` says the caller will hand the segment's CRC to EndSegment.
    void Write(const void* data, size_t count, bool knownCrc = false) {
        if (position_ + int64_t(count) > zlbwrite::kMaxArchiveSize) throw zlbwrite::TooLarge();
        writer_.Write(data, count);
        if (!knownCrc) segmentCrc_ = crc32(segmentCrc_, static_cast<const Bytef*>(data), static_cast<uInt>(count));
        position_ += int64_t(count);
    }

    // Goes back to the start of the current segment, forgetting its bytes.
    void RestartSegment() {
        writer_.Flush();
        file_.Seek(segmentStart_);
        position_ = segmentStart_;
        segmentCrc_ = crc32(0, nullptr, 0);
    }

    void EndSegment() { EndSegment(segmentCrc_); }
    void EndSegment(uLong segmentCrc) {
        crc_ = crc32_combine(crc_, segmentCrc, static_cast<z_off_t>(position_ - segmentStart_));
        segmentStart_ = position_;
        segmentCrc_ = crc32(0, nullptr, 0);
    }

    // CRC of all ended segments.
    uint32_t Crc() const { return static_cast<uint32_t>(crc_); }

    void Flush() { writer_.Flush(); }

private:
    fs::File& file_;
    fs::BufferedWriter writer_;
    int64_t position_ = 0;
    int64_t segmentStart_ = 0;
    uLong segmentCrc_ = crc32(0, nullptr, 0);
    uLong crc_ = crc32(0, nullptr, 0);
};

namespace zlbwrite {

class Deflater {
public:
    explicit Deflater(int level) {
        if (deflateInit(&zs_, level) != Z_OK) throw Error("Out of memory for the deflater");
    }
    ~Deflater() { deflateEnd(&zs_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream& Stream() { return zs_; }

private:
    z_stream zs_{};
};

// Writes the source as a zlib stream while it stays smaller than the data.
// Returns false as soon as it cannot be smaller; nothing beyond
// UnpackedSize - 1 bytes has been written then, so the stored data written
// over it leaves no stale bytes behind.
template <class Sink>
bool TryDeflate(SourceReader& in, Sink& sink, int level, TZLBFileEntry& entry) {
    Deflater deflater(level);
    z_stream& zs = deflater.Stream();
    std::vector<unsigned char> out(kDeflateOutSize);
    const int64_t rawSize = in.Size();
    int64_t written = 0;
    uLong crc = crc32(0, nullptr, 0);

    auto drain = [&](int flush) {
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            if (deflate(&zs, flush) == Z_STREAM_ERROR) throw Error("deflate failed");
            size_t have = out.size() - zs.avail_out;
            if (written + int64_t(have) >= rawSize) return false;
            sink.Write(out.data(), have);
            written += int64_t(have);
        } while (zs.avail_out == 0);
        return true;
    };

    const unsigned char* data = nullptr;
    while (size_t n = in.Next(data)) {
        crc = crc32(crc, data, static_cast<uInt>(n));
        zs.next_in = const_cast<Bytef*>(data);
        zs.avail_in = static_cast<uInt>(n);
        if (!drain(Z_NO_FLUSH)) return false;
    }
    if (!drain(Z_FINISH)) return false;
    entry.StoredSize = static_cast<int32_t>(written);
    entry.CRC32 = static_cast<uint32_t>(crc);
    entry.Stored = false;
    return true;
}

// Copies the source as stored data; its CRC is the segment's.
void CopyStored(SourceReader& in, ArchiveSink& sink, TZLBFileEntry& entry);

// The directory record of an entry before it is packed: name, path and size.
TZLBFileEntry NewEntryRecord(const std::string& name, const std::string& path, int64_t size);

// Packs one entry at the sink's position and returns its directory record.
TZLBFileEntry EncodeEntry(const std::string& name, const std::string& path, SourceReader& in,
                          ArchiveSink& sink, int level);

}  // namespace zlbwrite
}  // namespace zub
