// The plainest file calls of the system, for the floor program: CreateFileA
// and WriteFile on Windows, open(2) and write(2) elsewhere. Failures end the
// program with a message.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zub::bench {

std::vector<unsigned char> ReadAllOrDie(const std::string& path);
void MakeFolder(const std::string& path);
// Deletes a file or an empty folder with one plain call (DeleteFileA,
// RemoveDirectoryA; unlink, rmdir).
void RemoveFile(const std::string& path);
void RemoveFolder(const std::string& path);

class TFloorFile {
public:
    explicit TFloorFile(const std::string& path);  // created or truncated
    ~TFloorFile();
    TFloorFile(const TFloorFile&) = delete;
    TFloorFile& operator=(const TFloorFile&) = delete;
    void Write(const unsigned char* data, size_t count);

private:
    void* handle_ = nullptr;  // a HANDLE, or the descriptor cast
};

}  // namespace zub::bench
