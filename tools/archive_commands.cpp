// pack, list and extract: the archive format on its own.
#include <cinttypes>
#include <map>

#include "archive/ultra_deflate.h"
#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"
#include "tools/name_encoding.h"
#include "tools/platform.h"
#include "tools/progress.h"
#include "tools/skinsetup.h"

namespace zub::tool {
namespace {

std::string Required(const TArgs& args, const std::string& option) {
    if (!args.Has(option)) throw UsageError("missing " + option + " (the file to write)");
    return args.Get(option);
}

}  // namespace

// "ultra" is the best level with zopfli in place of zlib (TZLBWriter::Ultra).
TFileCompressionLevel LevelOf(const std::string& name) {
    static const std::map<std::string, TFileCompressionLevel> levels = {
        {"best", fcMaximum}, {"default", fcDefault}, {"fast", fcFastest}, {"fastest", fcFastest},
        {"none", fcNone},    {"ultra", fcMaximum}};
    auto it = levels.find(name);
    if (it == levels.end()) throw UsageError("unknown level " + name + " (best, default, fast, none or ultra)");
    if (name == "ultra") RequireUltra();
    return it->second;
}

void RequireUltra() {
    if (!UltraCompressionAvailable())
        throw UsageError("the level ultra needs zopfli, which this build of skinsetup lacks (use the native tool)");
}

int RunPack(const TArgs& args, TConsole& console) {
    const std::string folder = args.Positional[0];
    const std::string out = Required(args, "-o");
    const TFileCompressionLevel level = LevelOf(args.Get("--level", "default"));
    const bool ultra = args.Get("--level") == "ultra";
    if (!fs::DirectoryExists(folder)) throw Error("No folder " + folder);
    TZLBWriter writer;
    writer.CompressionLevel = level;
    writer.Ultra = ultra;
    writer.DirectoryCompressed = !args.Has("--plain-directory");
    // Names as the setup will create them on Windows: in Windows-1252.
    for (const TFolderFile& file : ListFolderFiles(folder, args.Has("--recurse"), args.Has("--with-paths")))
        writer.AddFile(file.SourcePath, ArchiveName(file.Name, file.SourcePath),
                       ArchiveName(file.Folder, file.SourcePath));
    if (console.ErrIsTerminal) console.Err << "packing " << writer.EntryCount() << " files ..." << std::flush;
    writer.Save(out);
    if (console.ErrIsTerminal) console.Err << "\r" << std::string(40, ' ') << "\r" << std::flush;
    fs::File written = fs::File::OpenRead(out);
    console.Out << out << ": " << writer.EntryCount() << " entries, " << written.Size() << " bytes\n";
    return 0;
}

int RunList(const TArgs& args, TConsole& console) {
    TZLBArchive archive;
    archive.OpenArchive(args.Positional[0]);
    console.Out << Format("%-32s %-20s %10s %10s %-10s %s\n", "name", "path", "size", "stored", "kind", "crc32");
    for (int i = 0; i < archive.GetFileCount(); ++i) {
        const TZLBFileEntry entry = archive.GetFileEntry(i);
        console.Out << Format("%-32s %-20s %10d %10d %-10s %08" PRIx32 "\n", Windows1252ToLocale(entry.Name).c_str(),
                              entry.Path.empty() ? "-" : Windows1252ToLocale(entry.Path).c_str(), entry.UnpackedSize,
                              entry.StoredSize, entry.Stored ? "stored" : "compressed", entry.CRC32);
    }
    const TZLBTrailer& trailer = archive.Trailer();
    console.Out << Format("%d entries, directory %s, archive CRC %08" PRIx32 "\n", trailer.FileCount,
                          trailer.DirectoryCompressed ? "compressed" : "plain", trailer.ArchiveCRC);
    return 0;
}

int RunExtract(const TArgs& args, TConsole& console) {
    TZLBArchive archive;
    archive.CheckCRC = args.Has("--check-crc");
    archive.ExtractWithPath = args.Has("--with-paths");
    archive.DiskName = Windows1252ToLocale;
    int extracted = 0;
    int skipped = 0;
    if (args.Has("--keep-existing"))
        archive.OnReplaceFile = [&](const std::string&, bool& replace) {
            replace = false;
            ++skipped;
        };
    archive.OnFileExtracted = [&](const std::string&) { ++extracted; };
    TProgressBar bar(console.Err, console.ErrIsTerminal);
    archive.OnProgress = [&](const std::string& message, int percent) {
        if (archive.ProgressPhase() == TZLBArchive::kPhaseExtracting)
            bar.Show(extracted + skipped + 1, archive.GetFileCount(), percent, message);
    };
    archive.OpenArchive(args.Positional[0]);
    std::string folder = args.Positional[1];
    if (!EndsWith(folder, "\\") && !EndsWith(folder, "/")) folder += "\\";
    archive.ExtractArchive(folder);
    bar.Finish();
    console.Out << "extracted " << extracted << " files into " << args.Positional[1];
    if (skipped) console.Out << ", kept " << skipped << " existing ones";
    console.Out << "\n";
    return 0;
}

}  // namespace zub::tool
