// Helpers for the archive tests: file access in a temporary folder
// (shell/temp_folder.h), archives made by our own writer, and archives put
// together byte by byte, independently of the format code.
#pragma once

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/zlb_writer.h"
#include "base/error.h"
#include "shell/temp_folder.h"

namespace zub::test {

using Bytes = std::vector<unsigned char>;

inline std::string Native(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(Native(path)).parent_path());
    std::ofstream out(Native(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Every file under `folder` with its bytes, by relative path ("/"-separated).
inline std::map<std::string, Bytes> FilesUnder(const std::string& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(Native(folder)))
        if (e.is_regular_file())
            files[std::filesystem::relative(e.path(), Native(folder)).string()] = ReadBytes(e.path().string());
    return files;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(Native(path)); }

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An archive of `files` (name and bytes) as our own writer makes it, by way
// of a file in `dir`.
inline Bytes ArchiveOf(const std::vector<std::pair<std::string, Bytes>>& files, const TTempFolder& dir) {
    TZLBWriter writer;
    for (const auto& f : files) writer.AddBuffer(f.first, f.second);
    writer.Save(dir / "tmp.zub");
    return ReadBytes(dir / "tmp.zub");
}

// Repetitive text (compresses well) and noise (does not).
inline Bytes TextData(size_t size) {
    static const std::string line = "The quick brown fox jumps over the lazy dog. ";
    Bytes data(size);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>(line[i % line.size()] + (i / 977) % 3);
    return data;
}

inline Bytes NoiseData(size_t size, uint32_t seed = 12345) {
    Bytes data(size);
    for (auto& b : data) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    return data;
}

inline uint32_t Crc(const Bytes& data) {
    return static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size())));
}

inline Bytes Deflate(const Bytes& data, int level = 9) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    Bytes out(length);
    compress2(out.data(), &length, data.data(), static_cast<uLong>(data.size()), level);
    out.resize(length);
    return out;
}

inline void PutI32(Bytes& bytes, size_t pos, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[pos + size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

// The CRC of the body written into the trailer again, after a change to the body.
inline void Recrc(Bytes& archive) {
    Bytes body(archive.begin(), archive.end() - 36);
    PutI32(archive, archive.size() - 36, Crc(body));
}

// One entry of a hand-made archive: the bytes as they lie in the archive and
// the record fields, each of which a test may override.
struct RawEntry {
    std::string name;
    Bytes stored;            // the entry's bytes in the archive
    int32_t unpackedSize = 0;
    uint32_t crc = 0;
    unsigned char storedByte = 0;
    std::array<unsigned char, 3> padding{};
    std::string path;
    std::optional<int32_t> offset;      // default: where the data was put
    std::optional<int32_t> storedSize;  // default: stored.size()

    static RawEntry Compressed(std::string name, const Bytes& data, std::array<unsigned char, 3> pad = {3, 0, 0}) {
        RawEntry e;
        e.name = std::move(name);
        e.stored = Deflate(data);
        e.unpackedSize = int32_t(data.size());
        e.crc = Crc(data);
        e.padding = pad;
        return e;
    }
    static RawEntry Plain(std::string name, const Bytes& data) {
        RawEntry e;
        e.name = std::move(name);
        e.stored = data;
        e.unpackedSize = int32_t(data.size());
        e.crc = Crc(data);
        e.storedByte = 1;
        return e;
    }
};

// Lays out entries, directory and trailer at the positions the format names.
inline Bytes BuildArchive(const std::vector<RawEntry>& entries, bool compressedDirectory) {
    Bytes archive;
    Bytes directory;
    for (const RawEntry& e : entries) {
        size_t offset = archive.size();
        archive.insert(archive.end(), e.stored.begin(), e.stored.end());
        Bytes record(532, 0);
        record[0] = static_cast<unsigned char>(e.name.size());
        std::copy(e.name.begin(), e.name.end(), record.begin() + 1);
        record[256] = static_cast<unsigned char>(e.path.size());
        std::copy(e.path.begin(), e.path.end(), record.begin() + 257);
        PutI32(record, 512, uint32_t(e.unpackedSize));
        PutI32(record, 516, uint32_t(e.storedSize.value_or(int32_t(e.stored.size()))));
        PutI32(record, 520, uint32_t(e.offset.value_or(int32_t(offset))));
        PutI32(record, 524, e.crc);
        record[528] = e.storedByte;
        std::copy(e.padding.begin(), e.padding.end(), record.begin() + 529);
        directory.insert(directory.end(), record.begin(), record.end());
    }
    size_t directoryOffset = archive.size();
    if (compressedDirectory) directory = Deflate(directory);
    archive.insert(archive.end(), directory.begin(), directory.end());
    Bytes trailer(36, 0);
    PutI32(trailer, 0, Crc(archive));
    PutI32(trailer, 4, uint32_t(entries.size()));
    PutI32(trailer, 8, 1);
    PutI32(trailer, 12, uint32_t(directory.size()));
    PutI32(trailer, 16, uint32_t(directoryOffset));
    trailer[20] = compressedDirectory ? 1 : 0;
    archive.insert(archive.end(), trailer.begin(), trailer.end());
    return archive;
}

// The message of the zub::Error that `f` raises, or "<no error>".
template <class F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "<no error>";
}

}  // namespace zub::test
