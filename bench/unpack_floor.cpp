// The floor of unpacking: what any unpacker of these archives must do at
// least. It reads an archive into memory with one call, inflates each entry
// with zlib into a 256 KiB buffer and writes it with the system's plainest
// call each time the buffer is full (no CRC pass, no checks, no progress).
//
//   unpack_floor ARCHIVE FOLDER [--payload] [--remove]
//
// With --remove it then deletes what it wrote, one plain call per file and
// per folder, knowing the names (no listing, no attributes): the floor of
// removing a work folder.
//
// ARCHIVE may also be a setup: the payload resource is then found in its
// bytes (the way a loader maps them, without copying).
// With --payload it unpacks as the setup does: the archives gfx.x, snd.x and
// Additional.x found among the entries are unpacked (from memory) into
// Graphics, Sounds and Additional, and ".x" entries inside those into folders
// of their own name.
//
// The unpacking alone, from the archive in memory to the last file written,
// is timed inside the process as the step "unpacking" of the start-up
// timeline (the file named by SKINSETUP_TIMELINE): the stricter floor,
// without starting the process and reading the setup.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/pe_resource.h"
#include "archive/zlb_format.h"
#include "base/timeline.h"
#include "bench/floor_io.h"
#include "bench/raw_inflate.h"

namespace zub::bench {
namespace {

constexpr size_t kBufferSize = 256 * 1024;
using Bytes = std::vector<unsigned char>;

// A stretch of bytes held elsewhere.
struct Span {
    const unsigned char* data;
    size_t size;
};

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "unpack_floor: %s\n", what.c_str());
    std::exit(1);
}

bool IsArchive(const std::string& name) {
    return name.size() > 2 && name[name.size() - 2] == '.' && (name.back() == 'x' || name.back() == 'X');
}

std::vector<TZLBFileEntry> Directory(Span archive) {
    if (archive.size < kTrailerSize) Die("too short");
    TrailerBytes tb;
    std::copy(archive.data + archive.size - kTrailerSize, archive.data + archive.size, tb.begin());
    const TZLBTrailer t = DecodeTrailer(tb);
    Bytes records(size_t(t.FileCount) * kFileEntrySize);
    if (t.DirectoryCompressed) {
        uLongf length = uLongf(records.size());
        if (uncompress(records.data(), &length, archive.data + t.DirectoryOffset, uLong(t.DirectorySize)) != Z_OK)
            Die("directory");
    } else {
        std::copy_n(archive.data + t.DirectoryOffset, records.size(), records.begin());
    }
    std::vector<TZLBFileEntry> entries;
    for (size_t at = 0; at < records.size(); at += kFileEntrySize)
        entries.push_back(DecodeFileEntry(records.data() + at, records.size() - at));
    return entries;
}

// Inflates (or copies) one entry, handing each full buffer to `sink`.
template <class Sink>
void Produce(Span archive, const TZLBFileEntry& e, Bytes& buffer, Sink sink) {
    if (!RawInflate(archive.data + e.Offset, e, buffer, sink)) Die("entry " + e.Name);
}

// What was written, for --remove.
std::vector<std::string> g_files, g_folders;

void Unpack(Span archive, const std::string& folder, bool payload, bool top) {
    MakeFolder(folder);
    g_folders.push_back(folder);
    Bytes buffer(kBufferSize);
    for (const TZLBFileEntry& e : Directory(archive)) {
        const std::string path = folder + "\\" + e.Name;
        g_files.push_back(path);
        TFloorFile file(path);
        if (!payload || !IsArchive(e.Name)) {
            Produce(archive, e, buffer, [&](const unsigned char* d, size_t n) { file.Write(d, n); });
            continue;
        }
        // A nested archive is kept in memory as it is written, then unpacked from there.
        Bytes nested;
        nested.reserve(size_t(e.UnpackedSize));
        Produce(archive, e, buffer, [&](const unsigned char* d, size_t n) {
            file.Write(d, n);
            nested.insert(nested.end(), d, d + n);
        });
        std::string stem = e.Name.substr(0, e.Name.size() - 2);
        if (top && stem == "gfx") stem = "Graphics";
        if (top && stem == "snd") stem = "Sounds";
        Unpack({nested.data(), nested.size()}, folder + "\\" + stem, payload, false);
    }
}

}  // namespace
}  // namespace zub::bench

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: unpack_floor ARCHIVE FOLDER [--payload]\n");
        return 2;
    }
    bool payload = false, remove = false;
    for (int i = 3; i < argc; ++i) {
        payload = payload || std::string(argv[i]) == "--payload";
        remove = remove || std::string(argv[i]) == "--remove";
    }
    const std::vector<unsigned char> file = zub::bench::ReadAllOrDie(argv[1]);
    zub::bench::Span archive{file.data(), file.size()};
    if (file.size() > 2 && file[0] == 'M' && file[1] == 'Z') {
        const zub::TResourceLocation at = zub::FindPayloadResource(file.data(), file.size());
        archive = {file.data() + at.FileOffset, at.Size};
    }
    {
        zub::timeline::TStep step("unpacking");
        zub::bench::Unpack(archive, argv[2], payload, true);
    }
    zub::timeline::Write();
    if (remove) {
        for (const std::string& file : zub::bench::g_files) zub::bench::RemoveFile(file);
        for (auto it = zub::bench::g_folders.rbegin(); it != zub::bench::g_folders.rend(); ++it)
            zub::bench::RemoveFolder(*it);
    }
    return 0;
}
