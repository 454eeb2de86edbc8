// Win32 side of the file layer: the A functions, paths in the ANSI code page.
#include <windows.h>
#include <sddl.h>

#include "base/error.h"
#include "base/file.h"
#include "base/handles_win.h"
#include "base/path_rules.h"
#include "base/win32_error.h"

namespace zub::fs {
namespace {

thread_local int lastError = 0;

bool Fail() {
    lastError = static_cast<int>(GetLastError());
    return false;
}

// CreateFileA on `path`: the handle, or null (the error kept) on failure, as
// File holds "not open".
HANDLE OpenHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    Fail();
    return nullptr;
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// Whether the drive of `path` keeps access rights; FAT drives do not, and a
// descriptor given there would be dropped without a word.
bool KeepsAccessRights(const std::string& path) {
    char root[MAX_PATH + 1] = {};
    DWORD flags = 0;
    return GetVolumePathNameA(path.c_str(), root, sizeof root) &&
           GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FILE_PERSISTENT_ACLS);
}

}  // namespace

std::string NativePath(const std::string& path) { return path; }

int LastErrorCode() { return lastError; }

std::string LongFullPath(const std::string& path) {
    char buffer[4 * MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return "";
    // The longest part that exists is expanded; the rest is not there yet
    // (a target about to be made) and so has no short names.
    std::string head(buffer, n);
    std::string tail;
    for (;;) {
        const DWORD m = GetLongPathNameA(head.c_str(), buffer, sizeof buffer);
        if (m > 0 && m < sizeof buffer) {
            std::string expanded(buffer, m);
            if (!expanded.empty() && expanded.back() == '\\' && !tail.empty()) expanded.pop_back();
            return expanded + tail;
        }
        const size_t cut = head.find_last_of('\\');
        if (cut == std::string::npos || cut + 1 >= head.size() || cut < 2) return head + tail;
        tail = head.substr(cut) + tail;
        head.erase(cut);
        if (head.size() == 2 && head[1] == ':') head += '\\';  // "C:" alone names the current folder there
    }
}

bool FileExists(const std::string& path) {
    DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool IsLink(const std::string& path) {
    DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string RealPath(const std::string& path) {
    // Folders open only with backup semantics; no access is asked for, so
    // that a file others hold open can be named too.
    const UniqueHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return "";
    char buffer[4 * MAX_PATH];
    const DWORD n = GetFinalPathNameByHandleA(file.get(), buffer, sizeof buffer, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= sizeof buffer) return "";
    std::string real(buffer, n);
    if (real.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + real.substr(8);
    if (real.rfind("\\\\?\\", 0) == 0) return real.substr(4);
    return real;
}

bool CreateDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) || Fail(); }

// The descriptor is given at creation: there is no moment in which the
// folder exists with the rights it would have inherited.
bool CreateDir(const std::string& path, const std::string& access) {
    if (!KeepsAccessRights(path))
        throw Error("The drive of " + path + " keeps no access rights: no private folder can be made there");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(access.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        RaiseLastWin32Error();
    const LocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    return CreateDirectoryA(path.c_str(), &attributes) || Fail();
}

bool IsFullPath(const std::string& path) { return HasDriveOrShare(path); }

int64_t FreeSpace(const std::string& path) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) return -1;
    return available.QuadPart > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(available.QuadPart);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) || Fail(); }
bool RemoveDir(const std::string& path) { return RemoveDirectoryA(path.c_str()) || Fail(); }
// Without MOVEFILE_REPLACE_EXISTING or MOVEFILE_COPY_ALLOWED: a rename on one drive, never replacing.
bool RenameFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), 0) || Fail();
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Fail();
}

bool SetReadOnly(const std::string& path, bool readOnly) {
    DWORD a = AttributesOf(path);
    if (a == INVALID_FILE_ATTRIBUTES) return Fail();
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesA(path.c_str(), a) || Fail();
}

std::vector<DirEntry> ListDirectory(const std::string& folder) {
    std::vector<DirEntry> entries;
    WIN32_FIND_DATAA data;
    const FindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &data));
    if (!find.valid()) {
        Fail();
        return entries;
    }
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

File::~File() { Close(); }
File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

File File::OpenRead(const std::string& path) {
    File file;
    file.handle_ =
        OpenHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
    return file;
}

File File::Create(const std::string& path) {
    File file;
    file.handle_ = OpenHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (!file.IsOpen()) throw CreateFileError(path);
    return file;
}

File File::CreateNew(const std::string& path) {
    File file;
    file.handle_ = OpenHandle(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    return file;
}

bool File::IsOpen() const { return handle_ != nullptr; }

int64_t File::Size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) throw IoError(static_cast<int>(GetLastError()));
    return size.QuadPart;
}

void File::Seek(int64_t position) {
    LARGE_INTEGER to;
    to.QuadPart = position;
    if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) throw IoError(static_cast<int>(GetLastError()));
}

int64_t File::Position() const {
    LARGE_INTEGER zero{}, pos;
    if (!SetFilePointerEx(handle_, zero, &pos, FILE_CURRENT)) throw IoError(static_cast<int>(GetLastError()));
    return pos.QuadPart;
}

size_t File::Read(void* buffer, size_t count) {
    size_t done = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(count - done > (1u << 30) ? (1u << 30) : count - done);
        DWORD got = 0;
        if (!ReadFile(handle_, bytes + done, chunk, &got, nullptr)) throw IoError(static_cast<int>(GetLastError()));
        if (got == 0) break;
        done += got;
    }
    return done;
}

void File::Write(const void* buffer, size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(count > (1u << 30) ? (1u << 30) : count);
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written == 0)
            throw IoError(static_cast<int>(GetLastError()));
        bytes += written;
        count -= written;
    }
}

void File::Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
}

}  // namespace zub::fs
