#include "archive/ultra_deflate.h"

#include <zlib.h>
#include <zopfli/deflate.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

#include "base/error.h"

namespace zub {
namespace {

// zopfli's passes per block; more than this gains little on large data and
// costs time in proportion.
constexpr int kIterations = 10;

// The bits of one part as zopfli writes them: least significant bit first.
struct TPartBits {
    std::vector<unsigned char> Bytes;
    size_t BitCount = 0;
};

TPartBits CompressPart(const unsigned char* data, size_t start, size_t end, bool final) {
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    options.numiterations = kIterations;
    unsigned char bitPointer = 0;
    unsigned char* out = nullptr;
    size_t outSize = 0;
    ZopfliDeflatePart(&options, 2, final ? 1 : 0, data, start, end, &bitPointer, &out, &outSize);
    TPartBits part;
    part.Bytes.assign(out, out + outSize);
    std::free(out);
    part.BitCount = outSize * 8 - (bitPointer == 0 ? 0 : size_t(8 - bitPointer));
    return part;
}

// Appends `bits` to a stream that holds `bitCount` bits.
void AppendBits(std::vector<unsigned char>& stream, size_t& bitCount, const TPartBits& part) {
    const unsigned shift = unsigned(bitCount % 8);
    if (shift == 0) {
        stream.insert(stream.end(), part.Bytes.begin(), part.Bytes.end());
    } else {
        for (unsigned char b : part.Bytes) {
            stream.back() |= static_cast<unsigned char>(b << shift);
            stream.push_back(static_cast<unsigned char>(b >> (8 - shift)));
        }
    }
    bitCount += part.BitCount;
    stream.resize((bitCount + 7) / 8);
}

// A part that does not end on a byte boundary is followed by an empty stored
// block (three header bits, padding, LEN 0 and NLEN 0xFFFF), so that the next
// part begins on one, as it was compressed: a stored block inside it pads to
// byte boundaries counted from its start.
void AlignToByte(std::vector<unsigned char>& stream, size_t& bitCount) {
    if (bitCount % 8 == 0) return;
    bitCount += 3;
    stream.resize((bitCount + 7) / 8);
    bitCount = stream.size() * 8;
    stream.insert(stream.end(), {0x00, 0x00, 0xFF, 0xFF});
    bitCount += 32;
}

struct TPartTask {
    size_t Job, Start, End;
};

}  // namespace

bool UltraCompressionAvailable() { return true; }

void CompressUltra(std::vector<TUltraJob>& jobs, unsigned threads, size_t partSize) {
    partSize = std::max<size_t>(partSize, 1);
    std::vector<TPartTask> tasks;
    for (size_t j = 0; j < jobs.size(); ++j)
        for (size_t start = 0; start < jobs[j].Size; start += partSize)
            tasks.push_back({j, start, std::min(jobs[j].Size, start + partSize)});
    std::vector<TPartBits> parts(tasks.size());

    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto work = [&] {
        for (size_t t; (t = next++) < tasks.size();) {
            try {
                const TPartTask& task = tasks[t];
                parts[t] = CompressPart(jobs[task.Job].Data, task.Start, task.End, task.End == jobs[task.Job].Size);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureMutex);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 1; i < std::max(1u, threads) && i < tasks.size(); ++i) workers.emplace_back(work);
    work();
    for (std::thread& w : workers) w.join();
    if (failure) std::rethrow_exception(failure);

    size_t t = 0;
    for (TUltraJob& job : jobs) {
        // The zlib header of the best level (78 DA), the parts, and the Adler-32 of the data.
        job.Stream = {0x78, 0xDA};
        size_t bitCount = 16;
        if (job.Size == 0) {
            static const unsigned char kNothing = 0;
            AppendBits(job.Stream, bitCount, CompressPart(&kNothing, 0, 0, true));
        }
        for (; t < tasks.size() && &jobs[tasks[t].Job] == &job; ++t) {
            AppendBits(job.Stream, bitCount, parts[t]);
            if (tasks[t].End != job.Size) AlignToByte(job.Stream, bitCount);
        }
        const uLong adler = adler32(adler32(0, nullptr, 0), job.Data, static_cast<uInt>(job.Size));
        for (int shift = 24; shift >= 0; shift -= 8) job.Stream.push_back(static_cast<unsigned char>(adler >> shift));
    }
}

}  // namespace zub
