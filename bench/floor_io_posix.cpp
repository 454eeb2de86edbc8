#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bench/floor_io.h"

namespace zub::bench {
namespace {

[[noreturn]] void Die(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

std::string Native(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace

std::vector<unsigned char> ReadAllOrDie(const std::string& path) {
    const int fd = ::open(Native(path).c_str(), O_RDONLY);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) Die(path);
    std::vector<unsigned char> data(size_t(st.st_size));
    for (size_t done = 0; done < data.size();) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n <= 0) Die(path);
        done += size_t(n);
    }
    ::close(fd);
    return data;
}

void MakeFolder(const std::string& path) { ::mkdir(Native(path).c_str(), 0777); }
void RemoveFile(const std::string& path) { ::unlink(Native(path).c_str()); }
void RemoveFolder(const std::string& path) { ::rmdir(Native(path).c_str()); }

TFloorFile::TFloorFile(const std::string& path) {
    const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) Die(path);
    handle_ = reinterpret_cast<void*>(intptr_t(fd));
}

TFloorFile::~TFloorFile() { ::close(int(intptr_t(handle_))); }

void TFloorFile::Write(const unsigned char* data, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(int(intptr_t(handle_)), data, count);
        if (n <= 0) Die("write");
        data += n;
        count -= size_t(n);
    }
}

}  // namespace zub::bench
