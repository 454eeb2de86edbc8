#include <cstring>
#include <stdexcept>

#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub::fs {

bool ForceDirectories(const std::string& path) {
    std::string dir = path;
    while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    if (dir.empty() || DirectoryExists(dir)) return !dir.empty();
    std::string parent = ExtractFilePath(dir);
    // Stop at a root ("C:\", "\\server\", "/") where the parent is the path itself.
    if (!parent.empty() && parent.size() < dir.size() && parent != dir + "\\")
        ForceDirectories(parent);
    CreateDir(dir);
    return DirectoryExists(dir);
}

std::string CreateNumberedFolder(const std::string& prefix, const std::string& access) {
    constexpr int kAttempts = 100000;
    for (int n = 1; n <= kAttempts; ++n) {
        std::string folder = prefix + std::to_string(n);
        if (PathExists(folder)) continue;
        if (access.empty() ? CreateDir(folder) : CreateDir(folder, access)) return folder;
        if (!PathExists(folder)) throw IoError(LastErrorCode());
    }
    throw IoError(183);
}

BufferedWriter::BufferedWriter(File& file, size_t capacity) : file_(file), buffer_(capacity) {}

BufferedWriter::~BufferedWriter() {
    try {
        Flush();
    } catch (...) {
    }
}

void BufferedWriter::Write(const void* data, size_t count) {
    if (count == 0) return;  // data may be null then, which memcpy must not see
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (used_ + count > buffer_.size()) Flush();
    if (count >= buffer_.size()) {
        file_.Write(bytes, count);
        return;
    }
    std::memcpy(buffer_.data() + used_, bytes, count);
    used_ += count;
}

void BufferedWriter::Flush() {
    if (used_ == 0) return;
    size_t n = used_;
    used_ = 0;
    file_.Write(buffer_.data(), n);
}

unsigned char* BufferedWriter::Space(size_t count) {
    if (count > buffer_.size()) std::__throw_length_error("BufferedWriter::Space beyond the capacity");
    if (Room() < count) Flush();
    return buffer_.data() + used_;
}

void BufferedWriter::Commit(size_t count) {
    if (count > Room()) std::__throw_length_error("BufferedWriter::Commit beyond the room");
    used_ += count;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    File file = File::OpenRead(path);
    if (!file.IsOpen()) throw Error(Format("Unable to open file (%s)", path.c_str()));
    std::vector<unsigned char> data(static_cast<size_t>(file.Size()));
    size_t got = data.empty() ? 0 : file.Read(data.data(), data.size());
    data.resize(got);
    return data;
}

}  // namespace zub::fs
