// A thin file layer: the same calls on Windows (the A functions of Win32) and
// natively on POSIX, where "\" in a path is read as "/" so that the setup's
// backslash paths work unchanged in native tests and tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zub::fs {

// The path as the system takes it: "\" becomes "/" on POSIX, unchanged on Windows.
std::string NativePath(const std::string& path);

bool FileExists(const std::string& path);       // exists and is not a directory
bool DirectoryExists(const std::string& path);
bool PathExists(const std::string& path);       // a file or a directory
// A reparse point or symbolic link itself, not what it points at.
bool IsLink(const std::string& path);
// The full path of what `path` names once every link on its way is
// followed, as the system itself names it (Windows: GetFinalPathNameByHandle,
// without its "\\?\" prefix; POSIX: realpath); "" when it leads to nothing
// or cannot be opened. The places two paths lead to are compared by these
// texts.
std::string RealPath(const std::string& path);

// One level; false when the directory could not be made.
bool CreateDir(const std::string& path);
// One level, with the access the security descriptor `access` (SDDL text)
// gives instead of what it would inherit; natively a folder that only its
// owner may use. Raises the platform's last-error exception when the
// descriptor cannot be made, and an error when the drive keeps no access
// rights (so none could be given); then nothing is made. False when the
// directory could not be made.
bool CreateDir(const std::string& path, const std::string& access);
// With every missing parent; true when the directory exists afterwards.
bool ForceDirectories(const std::string& path);

bool RemoveFile(const std::string& path);
bool RemoveDir(const std::string& path);
// Gives a file a new name on the same drive; false when `to` exists already
// (nothing is ever replaced) or the system refuses.
bool RenameFile(const std::string& from, const std::string& to);
// Gives a file the name `to`, replacing what has that name: a file there, or
// a link there itself (never what it points at).
bool RenameReplacing(const std::string& from, const std::string& to);
bool SetReadOnly(const std::string& path, bool readOnly);

// The full path the system makes of `path` (GetFullPathNameA), with the
// short (8.3) names of the part that exists expanded (GetLongPathNameA), so
// that paths can be compared by their text; "" when the system cannot make
// one. POSIX has neither: the path comes back unchanged.
std::string LongFullPath(const std::string& path);

// A full path on this system: "C:\..." or "\\server\share..." on Windows
// (not "\Temp" or "C:Temp", which depend on the current drive or folder),
// "/..." natively.
bool IsFullPath(const std::string& path);

// The bytes this program may still write on the drive of the existing
// folder `path` (GetDiskFreeSpaceExA, statvfs); -1 when the system cannot say.
int64_t FreeSpace(const std::string& path);

// The system's code for the last failed call of this layer (GetLastError or errno).
int LastErrorCode();

// Creates prefix + n for the smallest n >= 1 under which nothing exists yet
// and returns its path. A name taken between the test and the creation (by
// another process) counts as taken. Raises the input/output error of a
// creation that failed for another reason, and IoError(183) ("already
// exists") when every number is taken. With `access`, the folder is made
// with it, as CreateDir(path, access) makes it.
std::string CreateNumberedFolder(const std::string& prefix, const std::string& access = "");

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool readOnly = false;  // the read-only attribute (POSIX: no write permission for the owner)
    // A reparse point (junction, symbolic link; POSIX: a symbolic link):
    // what it points at may lie anywhere, so it is never entered.
    bool isLink = false;
};
// Every entry of a folder (hidden and system ones too), without "." and "..",
// in the order the system enumerates them. Empty when the folder cannot be read.
std::vector<DirEntry> ListDirectory(const std::string& folder);

// An open file handle, move-only. Reads and writes raise zub::Error
// ("E/A-Fehler %d") on a system failure.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // For reading, other readers allowed, writers not. Not open on failure.
    static File OpenRead(const std::string& path);
    // Created or truncated, for writing. Raises "Datei %s kann nicht erstellt werden".
    static File Create(const std::string& path);
    // Created for writing only when nothing (file, folder or link) has the
    // name yet; not open otherwise.
    static File CreateNew(const std::string& path);

    bool IsOpen() const;
    int64_t Size() const;
    void Seek(int64_t position);
    int64_t Position() const;
    // Up to `count` bytes; fewer only at the end of the file.
    size_t Read(void* buffer, size_t count);
    void Write(const void* buffer, size_t count);
    void Close();

private:
#if defined(_WIN32)
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Collects small writes into large ones; Flush (or Close) writes the rest.
class BufferedWriter {
public:
    explicit BufferedWriter(File& file, size_t capacity = 256 * 1024);
    ~BufferedWriter();  // flushes, swallowing errors: call Flush to see them
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void Write(const void* data, size_t count);
    void Flush();

    // Filling the buffer in place, for producers that write into memory:
    // Space gives room for `count` bytes after the buffered ones (flushing
    // first when there is too little), Commit counts in what was put there.
    // Asking for more than the capacity or room raises std::length_error by
    // the runtime's own helper (which in the shipped programs, see
    // base/runtime/, raises a zub::Error with the same text).
    unsigned char* Space(size_t count);
    size_t Room() const { return buffer_.size() - used_; }
    void Commit(size_t count);

private:
    File& file_;
    std::vector<unsigned char> buffer_;
    size_t used_ = 0;
};

// Reads a whole file into memory; raises "Unable to open file (%s)" when it cannot be opened.
std::vector<unsigned char> ReadWholeFile(const std::string& path);

}  // namespace zub::fs
