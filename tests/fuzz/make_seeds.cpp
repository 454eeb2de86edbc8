// Writes the seed corpora of the fuzz targets from files our own writer
// makes, so that the fuzzers start from real archives rather than noise:
//   make_seeds SOURCE_ROOT OUT_FOLDER
// fills OUT_FOLDER/archive (archives with the option byte in front),
// OUT_FOLDER/setup_script (every Setup.ini under SOURCE_ROOT/examples plus a
// few made here), OUT_FOLDER/pe_resource (small executables with resources
// put in by our resource writer), OUT_FOLDER/picture (the demo and test
// pictures with the decoder byte in front) and OUT_FOLDER/setup_log (logs our
// log book writes, and a tampered one).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/zlb_writer.h"
#include "base/file.h"
#include "formats/log_book.h"
#if __has_include("archive/pe_resource.h")
#include "archive/pe_resource.h"
#define ZUB_HAVE_PE_RESOURCES 1
#endif

namespace {

namespace stdfs = std::filesystem;
using Bytes = std::vector<unsigned char>;

Bytes ReadAll(const stdfs::path& path) { return zub::fs::ReadWholeFile(path.string()); }

void WriteAll(const stdfs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes Text(size_t size, const char* line) {
    Bytes data;
    const std::string s(line);
    while (data.size() < size) data.insert(data.end(), s.begin(), s.end());
    data.resize(size);
    return data;
}

Bytes Noise(size_t size, uint32_t seed) {
    Bytes data(size);
    for (auto& b : data) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    return data;
}

struct ArchiveSeed {
    const char* name;
    zub::TFileCompressionLevel level;
    bool directoryCompressed;
    bool withPaths;
    unsigned char options;  // the harness's option byte
};

// Archives kept small: libFuzzer works best on inputs of a few KiB.
void MakeArchiveSeeds(const stdfs::path& out) {
    const ArchiveSeed seeds[] = {
        {"mixed-best", zub::fcMaximum, true, false, 0x00},
        {"mixed-best-fixcrc", zub::fcMaximum, true, false, 0x04},
        {"paths-default-fixcrc", zub::fcDefault, true, true, 0x05},
        {"plain-dir-checkcrc", zub::fcDefault, false, true, 0x07},
        {"stored-keep", zub::fcNone, false, false, 0x0C},
        {"fastest-twice", zub::fcFastest, true, true, 0x15},
    };
    const stdfs::path tmp = out / "tmp.x";
    for (const ArchiveSeed& s : seeds) {
        zub::TZLBWriter writer;
        writer.Threads = 1;
        writer.CompressionLevel = s.level;
        writer.DirectoryCompressed = s.directoryCompressed;
        writer.AddBuffer("Setup.ini", Text(300, "Object=Setup\r\nAddfile=a.txt\r\nend\r\n"));
        writer.AddBuffer("empty.txt", {});
        writer.AddBuffer("noise.bin", Noise(200, 7));
        writer.AddBuffer("text.txt", Text(1500, "lorem ipsum dolor sit amet "), s.withPaths ? "docs\\deep" : "");
        writer.Save(tmp.string());
        Bytes archive = ReadAll(tmp);
        archive.insert(archive.begin(), s.options);
        WriteAll(out / s.name, archive);
    }
    zub::TZLBWriter empty;
    empty.Save(tmp.string());
    Bytes archive = ReadAll(tmp);
    archive.insert(archive.begin(), 0x04);
    WriteAll(out / "empty-archive", archive);
    stdfs::remove(tmp);
}

void MakeScriptSeeds(const stdfs::path& sourceRoot, const stdfs::path& out) {
    int n = 0;
    std::error_code ec;
    for (stdfs::recursive_directory_iterator it(sourceRoot / "examples", ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && it->path().filename() == "Setup.ini")
            stdfs::copy_file(it->path(), out / ("example-" + std::to_string(n++) + ".ini"),
                             stdfs::copy_options::overwrite_existing);
    const char* scripts[] = {
        "Object=Setup\r\nTargetFile=app.exe\r\nAddfile=app.exe\r\nLanguage=Deutsch\r\nFontstyle=Bold\r\n"
        "Fontcolor=$FF\r\nTextBoxColor=-2147483643\r\nLaunchProg=1\r\nend\r\n",
        "Object=Button\r\nAction=Forward\r\nTop=10\r\nLeft=0x20\r\nMask=b.bmp\r\nTouched=t.bmp\r\n"
        "Pressed=p.bmp\r\nDisabled=d.bmp\r\nInvisibleColor=16711935\r\nend\r\n",
        "Object=Toolweb\nTop=1\nLeft=2\nWidth=3\nHeight=4\nend\nObject=Panel\nBitmap=p.bmp\nend\n",
        "Object=Setup\r\nAddfile=x\r\n",
    };
    for (const char* s : scripts) {
        const std::string text(s);
        WriteAll(out / ("made-" + std::to_string(n++) + ".ini"), Bytes(text.begin(), text.end()));
    }
}

// The log of an installation in C:\\Apps\\App as the setup writes it, the
// same with bare line ends, and one that names places outside it.
void MakeLogSeeds(const stdfs::path& out) {
    zub::TSetupLogBook book;
    book.DisplayName = book.UninstallKeyName = "App Title";
    for (const char* folder : {"", "\\Graphics", "\\Sounds", "\\Additional"})
        book.AddDirectoryEntry(std::string("C:\\Apps\\App") + folder);
    book.AddFileEntry("C:\\Apps\\App\\App.exe");
    book.AddFileEntry("C:\\Apps\\App\\Uninstall.exe");
    book.AddDirectoryEntry("C:\\Users\\u\\Start Menu\\Programs\\App Title");
    book.AddLinkEntry("C:\\Users\\u\\Start Menu\\Programs\\App Title\\App Title.lnk");
    book.AddLinkEntry("C:\\Users\\u\\Desktop\\App Title.lnk");
    const std::string text = book.LogText();
    WriteAll(out / "installed", Bytes(text.begin(), text.end()));
    std::string bare = text;
    for (size_t at; (at = bare.find("\r\n")) != std::string::npos;) bare.erase(at, 1);
    WriteAll(out / "bare-line-ends", Bytes(bare.begin(), bare.end()));
    book.AddDirectoryEntry("C:\\Windows");
    book.AddFileEntry("C:\\Apps\\App\\..\\..\\boot.ini");
    book.AddLinkEntry("C:\\Users\\u\\Desktop\\notes.txt");
    book.AddFileEntry("\\\\server\\share\\x");
    book.Lines.push_front("UNKNOWN=C:\\x");
    const std::string tampered = book.LogText() + "COPYFILE=C:\\Apps\\App\\cut";
    WriteAll(out / "tampered", Bytes(tampered.begin(), tampered.end()));
}

// Pictures larger than this would slow every run down; the small ones cover
// the same header and pixel paths.
constexpr uintmax_t kMaxPictureSeed = 64 << 10;

void MakePictureSeeds(const stdfs::path& sourceRoot, const stdfs::path& out) {
    const char* const extensions[] = {".bmp", ".gif", ".jpg"};  // the picture target's decoder byte
    int n = 0;
    for (const char* folder : {"examples/demo/Graphics", "tests/data/skin"}) {
        std::error_code ec;
        for (stdfs::directory_iterator it(sourceRoot / folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (!it->is_regular_file() || it->file_size() > kMaxPictureSeed) continue;
            for (unsigned char decoder = 0; decoder < 3; ++decoder) {
                if (it->path().extension() != extensions[decoder]) continue;
                Bytes picture = ReadAll(it->path());
                picture.insert(picture.begin(), decoder);
                WriteAll(out / ("picture-" + std::to_string(n++)), picture);
            }
        }
    }
}

#ifdef ZUB_HAVE_PE_RESOURCES
void Put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// The smallest sensible 32-bit executable: headers and one code section.
Bytes MinimalPe() {
    Bytes pe(0x400, 0);
    pe[0] = 'M';
    pe[1] = 'Z';
    Put32(pe, 0x3C, 0x40);
    pe[0x40] = 'P';
    pe[0x41] = 'E';
    const size_t coff = 0x44, opt = coff + 20;
    Put16(pe, coff, 0x14C);      // i386
    Put16(pe, coff + 2, 1);      // sections
    Put16(pe, coff + 16, 224);   // optional header size
    Put16(pe, coff + 18, 0x0102);
    Put16(pe, opt, 0x10B);       // PE32
    Put32(pe, opt + 16, 0x1000); // entry point
    Put32(pe, opt + 28, 0x400000);
    Put32(pe, opt + 32, 0x1000); // section alignment
    Put32(pe, opt + 36, 0x200);  // file alignment
    Put16(pe, opt + 40, 4);
    Put16(pe, opt + 48, 4);
    Put32(pe, opt + 56, 0x2000); // size of image
    Put32(pe, opt + 60, 0x200);  // size of headers
    Put16(pe, opt + 68, 2);      // GUI
    Put32(pe, opt + 92, 16);     // data directories
    const size_t section = opt + 224;
    std::memcpy(&pe[section], ".text", 5);
    Put32(pe, section + 8, 0x10);
    Put32(pe, section + 12, 0x1000);
    Put32(pe, section + 16, 0x200);
    Put32(pe, section + 20, 0x200);
    Put32(pe, section + 36, 0x60000020);
    pe[0x200] = 0xC3;  // ret
    return pe;
}

zub::TPeResource Resource(zub::TResourceName type, zub::TResourceName name, uint16_t language, Bytes data) {
    zub::TPeResource r;
    r.Type = std::move(type);
    r.Name = std::move(name);
    r.Language = language;
    r.Data = std::move(data);
    return r;
}

void MakePeSeeds(const stdfs::path& out) {
    const Bytes pe = MinimalPe();
    WriteAll(out / "plain", pe);
    WriteAll(out / "payload", zub::WritePayloadResource(pe, Text(64, "payload ")));
    std::vector<zub::TPeResource> resources = {
        Resource(zub::TResourceName::Number(zub::kRtRcdata), zub::TResourceName::Named("ZUBTRESOR"), 0x407,
                 Noise(40, 3)),
        Resource(zub::TResourceName::Number(zub::kRtRcdata), zub::TResourceName::Number(7), 0, Text(10, "x")),
        Resource(zub::TResourceName::Named("CUSTOM"), zub::TResourceName::Named("Thing"), 0x409, Text(20, "ab")),
        Resource(zub::TResourceName::Number(3), zub::TResourceName::Number(1), 0x409, Noise(30, 5)),
    };
    WriteAll(out / "several", zub::WriteResources(pe, resources));
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds SOURCE_ROOT OUT_FOLDER\n");
        return 2;
    }
    const stdfs::path out = argv[2];
    try {
        stdfs::create_directories(out / "archive");
        stdfs::create_directories(out / "setup_script");
        MakeArchiveSeeds(out / "archive");
        MakeScriptSeeds(argv[1], out / "setup_script");
        stdfs::create_directories(out / "setup_log");
        MakeLogSeeds(out / "setup_log");
        stdfs::create_directories(out / "picture");
        MakePictureSeeds(argv[1], out / "picture");
#ifdef ZUB_HAVE_PE_RESOURCES
        stdfs::create_directories(out / "pe_resource");
        MakePeSeeds(out / "pe_resource");
#endif
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
