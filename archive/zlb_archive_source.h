// The reading side of TZLBArchive: the bytes of an open archive (its file or
// the memory holding it) and the reader that hands out an entry's data,
// stored or inflated, one piece at a time.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "archive/zlb_archive.h"
#include "base/error.h"
#include "base/file.h"

namespace zub {
namespace zlbread {

// Progress is counted in pieces of this size, as the format's readers always have.
inline constexpr size_t kPieceSize = 4096;
// The disk is read in much larger blocks: small reads cost most of the time.
inline constexpr size_t kInputBlockSize = 256 * 1024;
inline constexpr int64_t kCrcBlockSize = 512 * 1024;
inline constexpr size_t kMaxWriteBuffer = 256 * 1024;
// Memory is handed to zlib in spans it can count (avail_in is 32 bits).
inline constexpr int64_t kMaxMemoryInput = int64_t(1) << 30;

}  // namespace zlbread

// The bytes of an open archive: its file, or the memory that holds the same
// bytes. Memory is read in place, without copying it into buffers.
class TZLBArchive::Source {
public:
    explicit Source(fs::File& file) : file_(&file), size_(file.Size()) {}
    Source(const unsigned char* data, size_t size) : data_(data), size_(int64_t(size)) {}

    bool InMemory() const { return file_ == nullptr; }
    int64_t Size() const { return size_; }

    void Seek(int64_t position) {
        if (file_)
            file_->Seek(position);
        else
            position_ = std::clamp<int64_t>(position, 0, size_);
    }

    // Up to `count` bytes; fewer only at the end.
    size_t Read(void* out, size_t count) {
        if (file_) return file_->Read(out, count);
        const size_t n = View(count);
        if (n > 0) std::memcpy(out, data_ + (position_ - int64_t(n)), n);
        return n;
    }

    // Memory only: up to `count` bytes at the position, which moves past them.
    const unsigned char* Next(size_t& count) {
        const unsigned char* at = data_ + position_;
        count = View(count);
        return at;
    }

    // CRC-32 of everything but the last `leaveOut` bytes.
    uint32_t Crc(int64_t leaveOut) {
        if (file_) return ComputeStreamCRC(*file_, leaveOut);
        uLong crc = crc32(0, nullptr, 0);
        for (int64_t at = 0, end = size_ - leaveOut; at < end;) {
            const uInt n = static_cast<uInt>(std::min<int64_t>(end - at, zlbread::kCrcBlockSize));
            crc = crc32(crc, data_ + at, n);
            at += n;
        }
        return static_cast<uint32_t>(crc);
    }

private:
    size_t View(size_t count) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(int64_t(count), size_ - position_));
        position_ += int64_t(n);
        return n;
    }

    fs::File* file_ = nullptr;
    const unsigned char* data_ = nullptr;
    int64_t size_ = 0;
    int64_t position_ = 0;
};

// Delivers the data of one entry (or of the compressed directory) from a
// region of the archive: plain or inflated. A file is read in large blocks
// into an input buffer that grows only as far as the regions read need;
// memory is inflated in place.
class TZLBArchive::EntryReader {
public:
    explicit EntryReader(Source& source) : source_(source) {
        if (inflateInit(&zs_) != Z_OK) throw Error("Out of memory for the inflater");
    }
    ~EntryReader() { inflateEnd(&zs_); }
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    void Start(int64_t offset, int64_t length, bool stored) {
        source_.Seek(offset);
        left_ = length;
        stored_ = stored;
        ended_ = false;
        damaged_ = false;
        zs_.next_in = nullptr;
        zs_.avail_in = 0;
        const size_t block = static_cast<size_t>(std::clamp<int64_t>(length, 1, int64_t(zlbread::kInputBlockSize)));
        if (!stored && !source_.InMemory() && input_.size() < block) input_.resize(block);
        if (!stored && inflateReset(&zs_) != Z_OK) throw Error("inflateReset failed");
    }

    // Up to `count` bytes of data; fewer where the data ends or, for a
    // damaged zlib stream, where the damage begins (Damaged() tells which).
    size_t Obtain(unsigned char* out, size_t count) {
        return stored_ ? Copy(out, count) : Inflate(out, count);
    }
    bool Damaged() const { return damaged_; }

    unsigned char* Piece() { return piece_; }

private:
    bool Refill() {
        if (left_ <= 0) return false;
        if (source_.InMemory()) {
            size_t got = static_cast<size_t>(std::min<int64_t>(left_, zlbread::kMaxMemoryInput));
            zs_.next_in = const_cast<Bytef*>(source_.Next(got));
            zs_.avail_in = static_cast<uInt>(got);
            left_ = got == 0 ? 0 : left_ - int64_t(got);
            return got > 0;
        }
        size_t want = static_cast<size_t>(std::min<int64_t>(left_, int64_t(input_.size())));
        size_t got = source_.Read(input_.data(), want);
        left_ = got < want ? 0 : left_ - int64_t(want);
        zs_.next_in = input_.data();
        zs_.avail_in = static_cast<uInt>(got);
        return got > 0;
    }

    // Plain data goes from the archive straight into `out`.
    size_t Copy(unsigned char* out, size_t count) {
        size_t want = static_cast<size_t>(std::min<int64_t>(left_, int64_t(count)));
        size_t got = want == 0 ? 0 : source_.Read(out, want);
        left_ = got < want ? 0 : left_ - int64_t(got);
        return got;
    }

    // zlib checks the stream's Adler-32 as soon as the input holds it, also
    // when the output is exactly full, so a damaged checksum is found too.
    size_t Inflate(unsigned char* out, size_t count) {
        zs_.next_out = out;
        zs_.avail_out = static_cast<uInt>(count);
        while (zs_.avail_out > 0 && !ended_ && !damaged_) {
            if (zs_.avail_in == 0 && !Refill()) break;
            int result = inflate(&zs_, Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                ended_ = true;
            } else if (result != Z_OK && !(result == Z_BUF_ERROR && zs_.avail_in == 0)) {
                damaged_ = true;
            }
        }
        return count - zs_.avail_out;
    }

    Source& source_;
    std::vector<unsigned char> input_;
    unsigned char piece_[zlbread::kPieceSize];
    z_stream zs_{};
    int64_t left_ = 0;
    bool stored_ = false;
    bool ended_ = false;
    bool damaged_ = false;
};

}  // namespace zub
