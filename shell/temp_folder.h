// A folder of its own in the temporary directory, removed with everything in
// it when the object goes: the tool's scratch space while it builds or
// checks a setup, and every test's.
#pragma once

#include <string>

namespace zub {

class TTempFolder {
public:
    // Makes GetTempDir() + prefix + process id + "." + n for the first free n.
    // The process id keeps the names of processes running at once apart, so
    // that a folder one of them removes and makes again stays its own; within
    // a process, creating a folder is atomic, so no two threads share one. Raises
    // "Unable to create a temporary folder in " and the temporary directory
    // when none can be made.
    explicit TTempFolder(const std::string& prefix = "skinsetup.");
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder with a trailing separator, as the system writes it ("\" on
    // Windows, "/" natively) and with its long names (fs::LongFullPath), so
    // that paths below it can be compared by their text.
    const std::string& Path() const { return path_; }
    // The folder itself, without the separator.
    std::string Folder() const { return path_.substr(0, path_.size() - 1); }
    // The path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

}  // namespace zub
