// POSIX side of the file layer, for native builds: "\" in a path means "/".
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "base/error.h"
#include "base/file.h"

namespace zub::fs {
namespace {

thread_local int lastError = 0;

std::string Native(const std::string& path) { return NativePath(path); }

// Reports errno as the Windows code of the same meaning, so messages match.
int WindowsCodeOf(int error) {
    switch (error) {
        case ENOENT: return 2;
        case ENOTDIR: case ENAMETOOLONG: case EINVAL: return 3;
        case EMFILE: case ENFILE: return 4;
        case EACCES: case EPERM: case EROFS: return 5;
        case ENOTEMPTY: case EEXIST: return 145;
        case ENOSPC: return 112;
        default: return error;
    }
}

bool Fail() {
    lastError = WindowsCodeOf(errno);
    return false;
}

bool StatOf(const std::string& path, struct stat& st) { return ::stat(Native(path).c_str(), &st) == 0; }

// An open directory listing, closed when it goes out of scope.
struct TDirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using FindHandle = std::unique_ptr<DIR, TDirCloser>;

}  // namespace

std::string NativePath(const std::string& path) {
    std::string result = path;
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

int LastErrorCode() { return lastError; }

std::string LongFullPath(const std::string& path) { return path; }

bool FileExists(const std::string& path) {
    struct stat st;
    return StatOf(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return StatOf(path, st) && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st;
    return StatOf(path, st);
}

bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(Native(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(Native(path).c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

bool CreateDir(const std::string& path) { return ::mkdir(Native(path).c_str(), 0777) == 0 || Fail(); }
bool CreateDir(const std::string& path, const std::string&) { return ::mkdir(Native(path).c_str(), 0700) == 0 || Fail(); }

bool IsFullPath(const std::string& path) { return !path.empty() && Native(path)[0] == '/'; }

int64_t FreeSpace(const std::string& path) {
    struct statvfs st {};
    if (::statvfs(Native(path).c_str(), &st) != 0) return -1;
    return int64_t(st.f_bavail) * int64_t(st.f_frsize);
}
bool RemoveFile(const std::string& path) { return ::unlink(Native(path).c_str()) == 0 || Fail(); }
bool RemoveDir(const std::string& path) { return ::rmdir(Native(path).c_str()) == 0 || Fail(); }
// A hard link refuses an existing name, where rename() would replace it.
bool RenameFile(const std::string& from, const std::string& to) {
    if (::link(Native(from).c_str(), Native(to).c_str()) != 0) return Fail();
    return ::unlink(Native(from).c_str()) == 0 || Fail();
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    return ::rename(Native(from).c_str(), Native(to).c_str()) == 0 || Fail();
}

bool SetReadOnly(const std::string& path, bool readOnly) {
    struct stat st;
    if (!StatOf(path, st)) return Fail();
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
    return ::chmod(Native(path).c_str(), mode) == 0 || Fail();
}

std::vector<DirEntry> ListDirectory(const std::string& folder) {
    std::vector<DirEntry> entries;
    std::string native = Native(folder);
    const FindHandle dir(::opendir(native.c_str()));
    if (!dir) {
        Fail();
        return entries;
    }
    while (dirent* e = ::readdir(dir.get())) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        const bool known = ::lstat((native + "/" + name).c_str(), &st) == 0;
        entries.push_back({name, known && S_ISDIR(st.st_mode), known && (st.st_mode & S_IWUSR) == 0,
                           known && S_ISLNK(st.st_mode)});
    }
    return entries;
}

File::~File() { Close(); }
File::File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

File File::OpenRead(const std::string& path) {
    File file;
    file.fd_ = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd_ < 0) Fail();
    return file;
}

File File::Create(const std::string& path) {
    File file;
    file.fd_ = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file.fd_ < 0) {
        Fail();
        throw CreateFileError(path);
    }
    return file;
}

File File::CreateNew(const std::string& path) {
    File file;
    // O_EXCL refuses a symbolic link of that name too, even a dangling one.
    file.fd_ = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file.fd_ < 0) Fail();
    return file;
}

bool File::IsOpen() const { return fd_ >= 0; }

int64_t File::Size() const {
    struct stat st;
    if (::fstat(fd_, &st) != 0) throw IoError(WindowsCodeOf(errno));
    return st.st_size;
}

void File::Seek(int64_t position) {
    if (::lseek(fd_, position, SEEK_SET) < 0) throw IoError(WindowsCodeOf(errno));
}

int64_t File::Position() const {
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0) throw IoError(WindowsCodeOf(errno));
    return pos;
}

size_t File::Read(void* buffer, size_t count) {
    size_t done = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(fd_, bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw IoError(WindowsCodeOf(errno));
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void File::Write(const void* buffer, size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        ssize_t n = ::write(fd_, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw IoError(WindowsCodeOf(n < 0 ? errno : EIO));
        bytes += n;
        count -= static_cast<size_t>(n);
    }
}

void File::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace zub::fs
