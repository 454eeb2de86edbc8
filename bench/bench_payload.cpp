#include "bench/bench_payload.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "archive/zlb_format.h"

namespace zub::bench {
namespace {

uint32_t NextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::vector<unsigned char> TextLike(size_t size, uint32_t seed) {
    static const char* const kWords[] = {
        "setup",   "install", "folder",  "window", "the",    "of",      "and",     "file",   "archive",
        "program", "button",  "licence", "read",   "a",      "to",      "is",      "skin",   "bitmap",
        "colour",  "page",    "shortcut", "menu",  "destination", "copy", "entry", "stream", "value",
        "in",      "for",     "with",    "error",  "message", "Windows", "user",   "registry", "key"};
    constexpr size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
    std::vector<unsigned char> data;
    data.reserve(size + 16);
    uint32_t state = seed;
    size_t lineLength = 0;
    while (data.size() < size) {
        // Skewed choice: common words come up more often, as in real text.
        uint32_t r = NextRandom(state) >> 8;
        size_t index = (r % kWordCount) * ((r >> 12) % kWordCount) / kWordCount;
        const char* word = kWords[index];
        while (*word) data.push_back(static_cast<unsigned char>(*word++));
        lineLength += 8;
        if ((r & 0x7) == 0) {
            // Numbers make the text less repetitive, as in logs and listings.
            const std::string number = " " + std::to_string(NextRandom(state) % 100000);
            data.insert(data.end(), number.begin(), number.end());
        }
        if (lineLength > 60 + (r % 20)) {
            data.insert(data.end(), {'.', '\r', '\n'});
            lineLength = 0;
        } else {
            data.push_back(' ');
        }
    }
    data.resize(size);
    return data;
}

std::vector<unsigned char> Noise(size_t size, uint32_t seed) {
    std::vector<unsigned char> data(size);
    uint32_t state = seed;
    for (auto& b : data) b = static_cast<unsigned char>(NextRandom(state) >> 24);
    return data;
}

TBenchPayload::TBenchPayload(const std::string& root, double scale) : folder_(root) {
    namespace stdfs = std::filesystem;
    stdfs::create_directories(root);
    const int textFiles = int(400 * scale), noiseFiles = int(100 * scale);
    // The large entry comes first in order (the top folder sorts first).
    std::vector<unsigned char> big = TextLike(size_t(10 * scale * (1 << 20)), 1);
    std::vector<unsigned char> bigNoise = Noise(size_t(6 * scale * (1 << 20)), 2);
    big.insert(big.end(), bigNoise.begin(), bigNoise.end());
    Add("", "big.dat", big);
    for (int i = 0; i < textFiles; ++i)
        Add("docs\\part" + std::to_string(i % 8), "text" + std::to_string(i) + ".txt",
            TextLike(size_t(16384 + (i * 7919) % 180000), uint32_t(100 + i)));
    for (int i = 0; i < noiseFiles; ++i)
        Add("media", "noise" + std::to_string(i) + ".bin", Noise(size_t(32768 + (i * 104729) % 200000), uint32_t(9000 + i)));
}

void TBenchPayload::Add(const std::string& folder, const std::string& name, const std::vector<unsigned char>& data) {
    std::string dir = folder_;
    if (!folder.empty()) dir += "/";
    for (char c : folder) dir.push_back(c == '\\' ? '/' : c);
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/" + name;
    WriteFile(path, data);
    files_.push_back({folder, name, path, int64_t(data.size())});
}

int64_t TBenchPayload::TotalBytes() const {
    int64_t total = 0;
    for (const TPayloadFile& f : files_) total += f.Size;
    return total;
}

void WriteHugeArchive(const std::string& path, int64_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    z_stream zs{};
    if (deflateInit(&zs, 1) != Z_OK) throw std::runtime_error("deflateInit failed");
    const std::vector<unsigned char> block = TextLike(1 << 20, 77);
    std::vector<unsigned char> packed(1 << 20);
    uLong dataCrc = crc32(0, nullptr, 0), bodyCrc = crc32(0, nullptr, 0);
    int64_t written = 0;
    auto drain = [&](int flush) {
        do {
            zs.next_out = packed.data();
            zs.avail_out = uInt(packed.size());
            deflate(&zs, flush);
            const size_t have = packed.size() - zs.avail_out;
            out.write(reinterpret_cast<const char*>(packed.data()), std::streamsize(have));
            bodyCrc = crc32(bodyCrc, packed.data(), uInt(have));
            written += int64_t(have);
        } while (zs.avail_out == 0);
    };
    for (int64_t left = size; left > 0; left -= int64_t(block.size())) {
        const size_t n = size_t(std::min<int64_t>(left, int64_t(block.size())));
        dataCrc = crc32(dataCrc, block.data(), uInt(n));
        zs.next_in = const_cast<Bytef*>(block.data());
        zs.avail_in = uInt(n);
        drain(Z_NO_FLUSH);
    }
    drain(Z_FINISH);
    deflateEnd(&zs);

    TZLBFileEntry entry;
    entry.Name = "huge.bin";
    entry.UnpackedSize = int32_t(size);
    entry.StoredSize = int32_t(written);
    entry.CRC32 = uint32_t(dataCrc);
    const FileEntryBytes record = EncodeFileEntry(entry);
    out.write(reinterpret_cast<const char*>(record.data()), std::streamsize(record.size()));
    bodyCrc = crc32(bodyCrc, record.data(), uInt(record.size()));
    TZLBTrailer trailer;
    trailer.ArchiveCRC = uint32_t(bodyCrc);
    trailer.FileCount = 1;
    trailer.Reserved = 1;
    trailer.DirectorySize = int32_t(record.size());
    trailer.DirectoryOffset = int32_t(written);
    const TrailerBytes bytes = EncodeTrailer(trailer);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace zub::bench
