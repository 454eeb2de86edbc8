// The portable PE resource writer checked by the Windows loader itself: what
// it writes is found by FindResourceA in a module loaded as a data file,
// sits beside what UpdateResourceA wrote, and the image still starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/payload.h"
#include "archive/pe_resource.h"
#include "base/error.h"
#include "base/file.h"
#include "base/little_endian.h"
#include "base/process_win.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

using Bytes = std::vector<unsigned char>;

// Runs `command` and waits for its end: its exit code, or -1 when it could
// not be started or did not end within a minute.
long RunToItsEnd(std::string command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return ended ? long(code) : -1;
}

Bytes Pattern(size_t size, unsigned seed) {
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    return bytes;
}

// The resource's bytes as the loader hands them out; empty when it is not found.
Bytes LoaderResource(const std::string& exe, const char* name) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return {};
    Bytes bytes;
    if (HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(10))) {
        const DWORD size = SizeofResource(module, info);
        if (HGLOBAL loaded = LoadResource(module, info)) {
            const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
            if (data) bytes.assign(data, data + size);
        }
    }
    FreeLibrary(module);
    return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    fs::File file = fs::File::Create(path);
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

class PeResourceUnderLoader : public ::testing::Test {
protected:
    void SetUp() override {
        stub_ = fs::ReadWholeFile(OwnExecutablePath());
    }
    const TTempFolder temp_{"zubpe."};
    const std::string folder_ = temp_.Path();
    Bytes stub_;
};

TEST_F(PeResourceUnderLoader, LoaderReadsWhatTheWriterWrote) {
    const Bytes first = Pattern(300000, 1), second = Pattern(1234, 2);
    const std::string exe = folder_ + "written.exe";
    WriteFile(exe, WritePayloadResource(stub_, first));
    EXPECT_EQ(LoaderResource(exe, "ZUBTRESOR"), first);
    EXPECT_EQ(LoaderResource(exe, "zubtresor"), first);

    WriteFile(exe, WritePayloadResource(fs::ReadWholeFile(exe), second));
    EXPECT_EQ(LoaderResource(exe, "ZUBTRESOR"), second);
    SaveResourceToFile(exe, folder_ + "Data.Zub");  // the setup's own way, through the loader
    EXPECT_EQ(fs::ReadWholeFile(folder_ + "Data.Zub"), second);
}

TEST_F(PeResourceUnderLoader, WorksWithWhatUpdateResourceMakes) {
    const std::string exe = folder_ + "updated.exe";
    WriteFile(exe, stub_);
    const Bytes keep = Pattern(777, 3), old = Pattern(5000, 4), payload = Pattern(64000, 5);
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    ASSERT_TRUE(update);
    ASSERT_TRUE(UpdateResourceA(update, RT_RCDATA, "KEEPME", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                const_cast<unsigned char*>(keep.data()), DWORD(keep.size())));
    ASSERT_TRUE(UpdateResourceA(update, RT_RCDATA, "ZUBTRESOR", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                const_cast<unsigned char*>(old.data()), DWORD(old.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    EXPECT_EQ(ReadPayloadResource(fs::ReadWholeFile(exe)), old);  // the portable reader on the platform's file

    WriteFile(exe, WritePayloadResource(fs::ReadWholeFile(exe), payload));
    EXPECT_EQ(LoaderResource(exe, "ZUBTRESOR"), payload);
    EXPECT_EQ(LoaderResource(exe, "KEEPME"), keep);
}

TEST_F(PeResourceUnderLoader, TheWrittenImageStillRuns) {
    const std::string exe = folder_ + "runs.exe";
    WriteFile(exe, WritePayloadResource(stub_, Pattern(100000, 6)));
    EXPECT_EQ(RunToItsEnd("\"" + exe + "\" --gtest_filter=-*"), 0);
}

// The tool runs as a 32-bit program too: alignments a hostile stub claims
// must not wrap around in its 32-bit sizes and put the section over the headers.
TEST_F(PeResourceUnderLoader, HostileAlignmentsAreRefusedIn32Bits) {
    const size_t optional = LoadLe32(stub_.data() + 0x3c) + 24;
    for (const auto& [field, value] : {std::pair{32u, 0xfffff000u}, std::pair{36u, 0xffffffffu}}) {
        Bytes hostile = stub_;
        PutLe32(hostile, optional + field, value);
        EXPECT_THROW(WritePayloadResource(hostile, Pattern(1000, 8)), Error) << field;
    }
}

// Run as a child of the test below (skipped otherwise): its own file is
// renamed and a file with another payload put in its place before the
// payload is read, as a program racing the setup could.
TEST(RunningImagePayload, ChildReadsItsOwnImage) {
    char seed[16] = {};
    if (!GetEnvironmentVariableA("ZUB_RUNNING_PAYLOAD_SEED", seed, sizeof seed)) GTEST_SKIP();
    const std::string self = OwnExecutablePath();
    ASSERT_TRUE(MoveFileA(self.c_str(), (self + ".old").c_str()));
    WriteFile(self, WritePayloadResource(fs::ReadWholeFile(self + ".old"), Pattern(2000, 99)));

    const TPayloadResource payload = TPayloadResource::OfRunningImage();
    const Bytes expected = Pattern(50000, unsigned(std::stoul(seed)));
    ASSERT_EQ(payload.Size(), expected.size());
    EXPECT_EQ(Bytes(payload.Data(), payload.Data() + payload.Size()), expected);
}

TEST_F(PeResourceUnderLoader, TheSetupUnpacksWhatRunsNotWhatLiesUnderItsName) {
    const std::string exe = folder_ + "swapped.exe";
    WriteFile(exe, WritePayloadResource(stub_, Pattern(50000, 7)));
    SetEnvironmentVariableA("ZUB_RUNNING_PAYLOAD_SEED", "7");
    const long code = RunToItsEnd("\"" + exe + "\" --gtest_filter=RunningImagePayload.*");
    SetEnvironmentVariableA("ZUB_RUNNING_PAYLOAD_SEED", nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadPayloadResource(fs::ReadWholeFile(exe)), Pattern(2000, 99)) << "the child did not swap its file";
}

}  // namespace
}  // namespace zub
