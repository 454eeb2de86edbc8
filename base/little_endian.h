// Little-endian fields in byte buffers: the one place that knows the byte
// order of the formats we read and write (PE headers, bitmaps, region data).
// Outside bytes are read through TByteReader, which checks every read
// against the end of the buffer before it touches memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/error.h"

namespace zub {

inline uint16_t LoadLe16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadLe32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void StoreLe16(unsigned char* out, uint16_t value) {
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
}
inline void StoreLe32(unsigned char* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Stores into a buffer; a field that does not fit raises std::out_of_range
// (a writer's own mistake, not bad input).
inline void PutLe16(std::vector<unsigned char>& bytes, size_t at, uint16_t value) {
    bytes.at(at + 1);
    StoreLe16(bytes.data() + at, value);
}
inline void PutLe32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
    bytes.at(at + 3);
    StoreLe32(bytes.data() + at, value);
}

// Reads fields at offsets from the start of outside bytes. A read that does
// not fit raises zub::Error with the reader's message, or with the one given.
class TByteReader {
public:
    TByteReader(const unsigned char* data, size_t size, const char* message)
        : data_(data), size_(size), message_(message) {}

    // Raises unless `count` bytes lie at `at`.
    void Need(size_t at, size_t count, const char* message = nullptr) const {
        if (at > size_ || count > size_ - at) throw Error(message ? message : message_);
    }
    uint16_t U16(size_t at, const char* message = nullptr) const {
        Need(at, 2, message);
        return LoadLe16(data_ + at);
    }
    uint32_t U32(size_t at, const char* message = nullptr) const {
        Need(at, 4, message);
        return LoadLe32(data_ + at);
    }
    // `count` bytes at `at`, checked.
    const unsigned char* Bytes(size_t at, size_t count, const char* message = nullptr) const {
        Need(at, count, message);
        return data_ + at;
    }
    const unsigned char* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    const unsigned char* data_;
    size_t size_;
    const char* message_;
};

}  // namespace zub
