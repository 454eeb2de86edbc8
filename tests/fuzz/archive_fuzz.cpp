// Opens an archive and extracts it into a scratch folder. The first input
// byte chooses the reader's options; bit 2 makes the harness write the right
// trailer CRC, so that mutations get past the CRC check into the directory
// and entry code. After each run the scratch folder must hold nothing but the
// input and the extraction folder: an entry escaping it is a finding.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "archive/zlb_archive.h"
#include "base/error.h"
#include "fuzz_util.h"

namespace {

constexpr uint8_t kExtractWithPath = 1;
constexpr uint8_t kCheckCrc = 2;
constexpr uint8_t kFixCrc = 4;
constexpr uint8_t kKeepExisting = 8;  // a replace handler that answers false
constexpr uint8_t kExtractTwice = 16; // the second pass meets existing files
constexpr size_t kTrailerSize = 36;
// Entries may share their data, so a small input can ask for gigabytes of
// output; such inputs are opened but not extracted, to keep runs fast.
constexpr int64_t kMaxOutput = 64 << 20;

void FixCrc(std::string& archive) {
    if (archive.size() < kTrailerSize) return;
    const size_t body = archive.size() - kTrailerSize;
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(archive.data()), static_cast<uInt>(body));
    for (int i = 0; i < 4; ++i) archive[body + size_t(i)] = static_cast<char>(crc >> (8 * i));
}

void CheckNothingEscaped(const std::string& scratch) {
    for (const auto& e : std::filesystem::directory_iterator(scratch)) {
        const std::string name = e.path().filename().string();
        if (name != "in.x" && name != "out") {
            std::fprintf(stderr, "escaped: %s\n", name.c_str());
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = data[0];
    std::string archive(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (options & kFixCrc) FixCrc(archive);

    const std::string& scratch = zub::fuzz::Scratch();
    const std::string input = scratch + "in.x";
    const std::string out = scratch + "out";
    zub::fuzz::WriteFile(input, reinterpret_cast<const uint8_t*>(archive.data()), archive.size());

    zub::TZLBArchive reader;
    reader.ExtractWithPath = options & kExtractWithPath;
    reader.CheckCRC = options & kCheckCrc;
    if (options & kKeepExisting) reader.OnReplaceFile = [](const std::string&, bool& replace) { replace = false; };
    int progressCalls = 0;
    reader.OnProgress = [&](const std::string&, int percentage) {
        if (percentage < 0 || percentage > 100) __builtin_trap();
        ++progressCalls;
    };
    try {
        if (reader.OpenArchive(input)) {
            int64_t output = 0;
            for (int i = 0; i < reader.GetFileCount(); ++i)
                output += std::max<int64_t>(0, reader.GetFileEntry(i).UnpackedSize);
            if (output <= kMaxOutput) {
                reader.ExtractArchive(out + "\\");
                if (options & kExtractTwice) reader.ExtractArchive(out + "\\");
            }
        }
    } catch (const zub::Error&) {
        // Refusing bad input with a message is the expected outcome.
    }
    reader.CloseArchive();
    CheckNothingEscaped(scratch);
    std::error_code ignored;
    std::filesystem::remove_all(out, ignored);
    return 0;
}
