// How the authoring tool reads a folder tree it packs when the tree holds
// links (symbolic links, junctions). A link that leads to a place inside the
// tree's root is followed as what it points at: it brings in nothing the
// tree does not hold already. A link that leads out of the root, to
// nothing, or into a folder the walk is inside of raises zub::Error naming
// it, so that a project cannot pack a file from elsewhere on the machine
// (a key, another user's data) into a setup, and no walk goes round in
// circles.
#pragma once

#include <string>
#include <vector>

namespace zub {

class TFolderWalk {
public:
    // The tree below `root`, which may itself be reached through links.
    explicit TFolderWalk(const std::string& root);

    struct TEntry {
        std::string Name;
        bool IsFolder = false;  // a folder, or a link to one
    };

    // The entries of `folder`, the root or a folder below it, in the order
    // the system lists them. Raises for a link among them that leads to a
    // file outside the root or to nothing; a link to a folder is looked at
    // when the walk enters it.
    std::vector<TEntry> List(const std::string& folder) const;

    // The walk is inside `folder` while the returned value lives. Raises
    // when `folder`, reached through links, lies outside the root or is a
    // folder the walk is inside of already.
    class TInside {
    public:
        ~TInside();
        TInside(const TInside&) = delete;
        TInside& operator=(const TInside&) = delete;

    private:
        friend class TFolderWalk;
        explicit TInside(std::vector<std::string>& open) : open_(open) {}
        std::vector<std::string>& open_;
    };
    [[nodiscard]] TInside Enter(const std::string& folder);

private:
    // The real path of `path`, which must lie inside the root.
    std::string InsideRoot(const std::string& path) const;

    std::string root_;                // the root's real path
    std::vector<std::string> open_;   // the real paths of the folders the walk is inside of
};

}  // namespace zub
