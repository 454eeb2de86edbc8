// A private folder in the temporary directory, removed with everything in it.
#pragma once

#include <string>

namespace zub::tool {

class TTempFolder {
public:
    // Makes GetTempDir() + "skinsetup." + n for the first free n.
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder with a trailing backslash, as a work folder is written.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace zub::tool
