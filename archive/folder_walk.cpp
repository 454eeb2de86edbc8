#include "archive/folder_walk.h"

#include <algorithm>

#include "base/error.h"
#include "base/file.h"

namespace zub {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Both are real paths (fs::RealPath): `path` is `root` or lies below it.
bool Within(const std::string& path, const std::string& root) {
    if (path == root) return true;
    if (path.size() <= root.size() || path.compare(0, root.size(), root) != 0) return false;
    return IsSeparator(root.back()) || IsSeparator(path[root.size()]);
}

}  // namespace

TFolderWalk::TFolderWalk(const std::string& root) : root_(fs::RealPath(root)) {}

std::string TFolderWalk::InsideRoot(const std::string& path) const {
    const std::string real = fs::RealPath(path);
    if (real.empty()) throw Error(fs::NativePath(path) + " is a link that leads nowhere: remove it");
    if (root_.empty() || !Within(real, root_))
        throw Error(fs::NativePath(path) + " leads through a link to " + real + ", outside " + root_ +
                    ": what lies outside is not packed; copy it in instead of linking it");
    return real;
}

std::vector<TFolderWalk::TEntry> TFolderWalk::List(const std::string& folder) const {
    std::vector<TEntry> entries;
    for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
        const std::string path = folder + "\\" + entry.name;
        if (!entry.isLink) {
            entries.push_back({entry.name, entry.isDirectory});
            continue;
        }
        // A link to a folder is looked at when the walk enters it.
        const bool folderLink = fs::DirectoryExists(path);
        if (!folderLink) InsideRoot(path);
        entries.push_back({entry.name, folderLink});
    }
    return entries;
}

TFolderWalk::TInside TFolderWalk::Enter(const std::string& folder) {
    const std::string real = InsideRoot(folder);
    if (std::find(open_.begin(), open_.end(), real) != open_.end())
        throw Error(fs::NativePath(folder) + " leads through a link back into " + real +
                    ", a folder that holds it: it would be packed without end");
    open_.push_back(real);
    return TInside(open_);
}

TFolderWalk::TInside::~TInside() { open_.pop_back(); }

}  // namespace zub
