#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/floor_io.h"

namespace zub::bench {
namespace {

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "%s: error %lu\n", what.c_str(), GetLastError());
    std::exit(1);
}

}  // namespace

std::vector<unsigned char> ReadAllOrDie(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) Die(path);
    std::vector<unsigned char> data(GetFileSize(h, nullptr));
    DWORD got = 0;
    if (!data.empty() && (!ReadFile(h, data.data(), DWORD(data.size()), &got, nullptr) || got != data.size()))
        Die(path);
    CloseHandle(h);
    return data;
}

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }
void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }
void RemoveFolder(const std::string& path) { RemoveDirectoryA(path.c_str()); }

TFloorFile::TFloorFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) Die(path);
    handle_ = h;
}

TFloorFile::~TFloorFile() { CloseHandle(handle_); }

void TFloorFile::Write(const unsigned char* data, size_t count) {
    DWORD written = 0;
    if (!WriteFile(handle_, data, DWORD(count), &written, nullptr) || written != count) Die("WriteFile");
}

}  // namespace zub::bench
