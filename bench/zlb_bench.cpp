// Archive benchmarks: each of our operations beside a baseline on the same
// data, in one run, printed at the end as ratios (baseline time divided by
// ours, so above 1 means we are faster) with the goal each should reach.
//
//   zlb_bench [--scale=S] [--huge-mib=N] [google benchmark flags]
//
// The peak-memory figure comes from a child process (this program started
// again with --peak-child), so that nothing the benchmarks allocated counts.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "base/file.h"
#include "bench/bench_payload.h"
#include "bench/bench_util.h"
#include "bench/raw_inflate.h"
#include "shell/temp_folder.h"

namespace zub::bench {
namespace {

namespace stdfs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// Everything the benchmarks share, made once before they run.
struct World {
    std::string root;  // ends in "/"
    std::unique_ptr<TBenchPayload> payload;
    std::string archive;   // packed with best compression on one thread
    Bytes archiveBytes;    // the same, in memory
    std::vector<TZLBFileEntry> entries;
    std::string zip;       // the same files as a zip (deflate level 9)
    std::string out;       // extraction folder, emptied before each run
    int64_t hugeBytes = 0;
    std::optional<bool> parallelIdentical;
};
World* world = nullptr;

void PackBest(const std::string& out, unsigned threads) {
    TZLBWriter writer;
    writer.CompressionLevel = fcMaximum;
    writer.Threads = threads;
    writer.RecursePaths = true;
    writer.SavePaths = true;
    writer.AddFolder(world->payload->Folder());
    writer.Save(out);
}

void EmptyOut() {
    std::error_code ignored;
    stdfs::remove_all(world->out, ignored);
}

// ---- extraction against raw inflate of the same streams into memory ----

void BM_Extract_TZLBArchive(benchmark::State& state) {
    TZLBArchive reader;
    reader.ExtractWithPath = true;
    reader.OpenArchive(world->archive);
    for (auto _ : state) {
        state.PauseTiming();
        EmptyOut();
        state.ResumeTiming();
        reader.ExtractArchive(world->out + "/");
    }
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

void BM_Extract_RawInflate(benchmark::State& state) {
    Bytes chunk(256 * 1024);
    for (auto _ : state) {
        for (const TZLBFileEntry& e : world->entries) {
            RawInflate(world->archiveBytes.data() + e.Offset, e, chunk, [&](const unsigned char* data, size_t size) {
                // Stored data is copied out, as an extraction would.
                if (data != chunk.data()) std::memcpy(chunk.data(), data, size);
                benchmark::DoNotOptimize(chunk.data());
            });
        }
    }
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

// The floor for any extraction: the same inflate, the output written with
// write(2) to the same files. Not a goal, it shows what the files cost.
void BM_Extract_RawInflateAndWrite(benchmark::State& state) {
    Bytes chunk(256 * 1024);
    for (auto _ : state) {
        state.PauseTiming();
        EmptyOut();
        state.ResumeTiming();
        for (const TZLBFileEntry& e : world->entries) {
            std::string dir = world->out;
            if (!e.Path.empty()) dir += "/" + e.Path;
            std::replace(dir.begin(), dir.end(), '\\', '/');
            stdfs::create_directories(dir);
            const int fd = open((dir + "/" + e.Name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            RawInflate(world->archiveBytes.data() + e.Offset, e, chunk, [&](const unsigned char* data, size_t size) {
                if (write(fd, data, size) != ssize_t(size)) state.SkipWithError("write failed");
            });
            close(fd);
        }
    }
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

// ---- the CRC pass of OpenArchive against crc32 over the same bytes ----

void BM_Crc_OpenArchive(benchmark::State& state) {
    TZLBArchive reader;
    for (auto _ : state) reader.OpenArchive(world->archive);
    state.SetBytesProcessed(state.iterations() * int64_t(world->archiveBytes.size()));
}

void BM_Crc_ZlibCrc32(benchmark::State& state) {
    for (auto _ : state) {
        uLong crc = crc32(0, world->archiveBytes.data(), uInt(world->archiveBytes.size() - 36));
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(world->archiveBytes.size()));
}

// ---- extraction against bsdtar on a zip of the same files ----

void BM_Unpack_TZLBArchive(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        EmptyOut();
        state.ResumeTiming();
        TZLBArchive reader;
        reader.ExtractWithPath = true;
        reader.OpenArchive(world->archive);
        reader.ExtractArchive(world->out + "/");
    }
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

void BM_Unpack_Bsdtar(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        EmptyOut();
        stdfs::create_directories(world->out);
        state.ResumeTiming();
        if (RunProgram({"bsdtar", "-xf", world->zip, "-C", world->out}) != 0) state.SkipWithError("bsdtar failed");
    }
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

// ---- packing with best compression against zlib level 9 ----

void BM_Pack_TZLBWriterBest(benchmark::State& state) {
    for (auto _ : state) PackBest(world->root + "pack1.x", 1);
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

void BM_Pack_ZlibLevel9(benchmark::State& state) {
    Bytes block(256 * 1024), packed(64 * 1024);
    for (auto _ : state) {
        for (const TPayloadFile& f : world->payload->Files()) {
            std::FILE* in = std::fopen(f.Path.c_str(), "rb");
            z_stream zs{};
            deflateInit(&zs, 9);
            int flush = Z_NO_FLUSH;
            do {
                const size_t n = std::fread(block.data(), 1, block.size(), in);
                flush = n < block.size() ? Z_FINISH : Z_NO_FLUSH;
                zs.next_in = block.data();
                zs.avail_in = uInt(n);
                do {
                    zs.next_out = packed.data();
                    zs.avail_out = uInt(packed.size());
                    deflate(&zs, flush);
                    benchmark::DoNotOptimize(packed.data());
                } while (zs.avail_out == 0);
            } while (flush != Z_FINISH);
            deflateEnd(&zs);
            std::fclose(in);
        }
    }
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
}

void BM_Pack_TZLBWriterParallel(benchmark::State& state) {
    const unsigned threads = std::max(2u, std::thread::hardware_concurrency());
    const std::string out = world->root + "packN.x";
    for (auto _ : state) PackBest(out, threads);
    state.SetBytesProcessed(state.iterations() * world->payload->TotalBytes());
    state.counters["threads"] = threads;
    world->parallelIdentical = fs::ReadWholeFile(out) == world->archiveBytes;
}

// ---- the ratio table ----

struct TRatio {
    const char* title;
    const char* ours;
    const char* baseline;
    double goal;
};
const TRatio kRatios[] = {
    {"extraction vs raw zlib inflate to memory", "BM_Extract_TZLBArchive", "BM_Extract_RawInflate", 0.9},
    {"extraction vs raw inflate + write(2) to files", "BM_Extract_TZLBArchive", "BM_Extract_RawInflateAndWrite", 0},
    {"OpenArchive CRC pass vs zlib crc32", "BM_Crc_OpenArchive", "BM_Crc_ZlibCrc32", 0.9},
    {"open + extract vs bsdtar -x of a zip", "BM_Unpack_TZLBArchive", "BM_Unpack_Bsdtar", 1.5},
    {"pack best (1 thread) vs zlib level 9", "BM_Pack_TZLBWriterBest", "BM_Pack_ZlibLevel9", 0.95},
    {"pack best, parallel vs 1 thread", "BM_Pack_TZLBWriterParallel", "BM_Pack_TZLBWriterBest", 1.7},
};

// Keeps the fastest repetition of every benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double seconds = run.real_accumulated_time / double(run.iterations);
            auto [it, fresh] = best_.emplace(run.run_name.function_name, seconds);
            if (!fresh) it->second = std::min(it->second, seconds);
        }
    }
    std::optional<double> Seconds(const std::string& name) const {
        auto it = best_.find(name);
        return it == best_.end() ? std::nullopt : std::optional<double>(it->second);
    }

private:
    std::map<std::string, double> best_;
};

void PrintRatios(const RatioReporter& reporter, std::optional<int64_t> peakKiB) {
    std::printf("\n%-46s %10s %10s %8s %6s\n", "comparison", "ours ms", "base ms", "ratio", "goal");
    for (const TRatio& r : kRatios) {
        auto ours = reporter.Seconds(r.ours), base = reporter.Seconds(r.baseline);
        if (!ours || !base) continue;
        const double ratio = *base / *ours;
        if (r.goal > 0)
            std::printf("%-46s %10.1f %10.1f %7.2fx %5.2fx %s\n", r.title, *ours * 1e3, *base * 1e3, ratio, r.goal,
                        ratio >= r.goal ? "met" : "MISSED");
        else
            std::printf("%-46s %10.1f %10.1f %7.2fx     -\n", r.title, *ours * 1e3, *base * 1e3, ratio);
    }
    if (world->parallelIdentical)
        std::printf("parallel output byte-identical to 1 thread: %s\n", *world->parallelIdentical ? "yes" : "NO");
    if (peakKiB)
        std::printf("peak memory extracting a %lld MiB entry: %+.1f MiB above rest (goal < 16 MiB) %s\n",
                    (long long)(world->hugeBytes >> 20), double(*peakKiB) / 1024.0,
                    *peakKiB < 16 * 1024 ? "met" : "MISSED");
}

// The child side of the memory test: VmHWM before and after extracting.
int PeakChild(const std::string& archive, const std::string& folder) {
    const int64_t atRest = ReadStatusKiB("VmHWM");
    TZLBArchive reader;
    reader.OpenArchive(archive);
    reader.ExtractArchive(folder + "/");
    std::printf("%lld\n", (long long)(ReadStatusKiB("VmHWM") - atRest));
    return 0;
}

std::optional<int64_t> MeasurePeak() {
    const std::string archive = world->root + "huge.x", folder = world->root + "huge-out";
    WriteHugeArchive(archive, world->hugeBytes);
    const std::string output = CaptureProgram({"/proc/self/exe", "--peak-child", archive, folder});
    std::error_code ignored;
    stdfs::remove_all(folder, ignored);
    stdfs::remove(archive, ignored);
    if (output.empty()) return std::nullopt;
    return std::stoll(output);
}

void Register() {
    auto timed = [](const char* name, void (*fn)(benchmark::State&), int repetitions) {
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
            ->Repetitions(repetitions)->ReportAggregatesOnly(false);
    };
    timed("BM_Extract_TZLBArchive", BM_Extract_TZLBArchive, 5);
    timed("BM_Extract_RawInflate", BM_Extract_RawInflate, 5);
    timed("BM_Extract_RawInflateAndWrite", BM_Extract_RawInflateAndWrite, 5);
    timed("BM_Crc_OpenArchive", BM_Crc_OpenArchive, 5);
    timed("BM_Crc_ZlibCrc32", BM_Crc_ZlibCrc32, 5);
    timed("BM_Unpack_TZLBArchive", BM_Unpack_TZLBArchive, 5);
    timed("BM_Unpack_Bsdtar", BM_Unpack_Bsdtar, 5);
    timed("BM_Pack_TZLBWriterBest", BM_Pack_TZLBWriterBest, 3);
    timed("BM_Pack_ZlibLevel9", BM_Pack_ZlibLevel9, 3);
    timed("BM_Pack_TZLBWriterParallel", BM_Pack_TZLBWriterParallel, 3);
}

void Prepare(double scale) {
    world->payload = std::make_unique<TBenchPayload>(world->root + "payload", scale);
    world->archive = world->root + "best.x";
    world->out = world->root + "out";
    PackBest(world->archive, 1);
    world->archiveBytes = fs::ReadWholeFile(world->archive);
    TZLBArchive reader;
    reader.OpenArchive(world->archive);
    for (int i = 0; i < reader.GetFileCount(); ++i) world->entries.push_back(reader.GetFileEntry(i));
    world->zip = world->root + "same.zip";
    if (RunProgramIn(world->payload->Folder(), {"zip", "-q", "-r", "-9", "-X", world->zip, "."}) != 0)
        std::fprintf(stderr, "zip failed: the bsdtar comparison will be skipped\n");
    std::printf("payload: %zu files, %.1f MiB; archive %.1f MiB; zip %.1f MiB\n", world->payload->Files().size(),
                double(world->payload->TotalBytes()) / (1 << 20), double(world->archiveBytes.size()) / (1 << 20),
                double(stdfs::exists(world->zip) ? stdfs::file_size(world->zip) : 0) / (1 << 20));
}

}  // namespace
}  // namespace zub::bench

int main(int argc, char** argv) {
    using namespace zub::bench;
    if (argc == 4 && std::strcmp(argv[1], "--peak-child") == 0) return PeakChild(argv[2], argv[3]);
    double scale = 1.0;
    int64_t hugeMiB = 1024;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--scale=", 8) == 0) scale = std::atof(argv[i] + 8);
        else if (std::strncmp(argv[i], "--huge-mib=", 11) == 0) hugeMiB = std::atoll(argv[i] + 11);
        else rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());

    const zub::TTempFolder root("zlbbench.");
    World w;
    w.root = root.Path();
    w.hugeBytes = hugeMiB << 20;
    world = &w;
    Prepare(scale);
    Register();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::optional<int64_t> peak = hugeMiB > 0 ? MeasurePeak() : std::nullopt;
    PrintRatios(reporter, peak);
    benchmark::Shutdown();
    return 0;
}
