// The floor of extracting one entry: its bytes inflated (or, when stored,
// copied) with zlib alone, without the reader's checks, CRC or progress.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "archive/zlb_format.h"

namespace zub::bench {

// Hands the entry's data to `sink(data, size)` a buffer at a time; `in`
// points at its bytes in the archive. False when the zlib stream is damaged.
template <class Sink>
bool RawInflate(const unsigned char* in, const TZLBFileEntry& e, std::vector<unsigned char>& buffer, Sink sink) {
    if (e.Stored) {
        for (int64_t at = 0; at < e.UnpackedSize; at += int64_t(buffer.size()))
            sink(in + at, size_t(std::min<int64_t>(int64_t(buffer.size()), e.UnpackedSize - at)));
        return true;
    }
    z_stream zs{};
    inflateInit(&zs);
    zs.next_in = const_cast<Bytef*>(in);
    zs.avail_in = uInt(e.StoredSize);
    int result = Z_OK;
    while (result == Z_OK) {
        zs.next_out = buffer.data();
        zs.avail_out = uInt(buffer.size());
        result = inflate(&zs, Z_NO_FLUSH);
        if (buffer.size() - zs.avail_out > 0) sink(buffer.data(), buffer.size() - zs.avail_out);
    }
    inflateEnd(&zs);
    return result == Z_STREAM_END;
}

}  // namespace zub::bench
