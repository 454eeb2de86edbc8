// The directory tree: one top-level node per drive, the folders of a drive
// below it, read from disk only when a node is opened or a path is selected
// through it. The logic here is portable: it talks to the machine through
// TDirMachine and to the tree-view window through TDirTreeView, and keeps
// its own model of the nodes, which the view mirrors.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/scoped.h"
#include "dialogs/dir_machine.h"

namespace zub {

// A small set of enumeration members (at most 32).
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members) {
        for (E m : members) bits_ |= Bit(m);
    }
    constexpr bool Contains(E m) const { return (bits_ & Bit(m)) != 0; }
    constexpr TSet& Include(E m) {
        bits_ |= Bit(m);
        return *this;
    }
    constexpr bool operator==(TSet other) const { return bits_ == other.bits_; }
    constexpr bool operator!=(TSet other) const { return bits_ != other.bits_; }

private:
    static constexpr uint32_t Bit(E m) { return 1u << static_cast<unsigned>(m); }
    uint32_t bits_ = 0;
};

// Which folders are listed, by their attributes (see AcceptsAttributes).
enum class TDirType { dtReadOnly, dtHidden, dtSystem, dtArchive, dtNormal, dtAll };
using TDirTypes = TSet<TDirType>;

// Which kinds of drive are shown (see DriveMask).
enum class TDriveType { drtUnknown, drtRemovable, drtFixed, drtRemote, drtCDRom, drtRamDisk };
using TDriveTypes = TSet<TDriveType>;

// The keys held while files were dropped.
enum class TShiftKey { ssShift, ssCtrl, ssAlt };
using TShiftState = TSet<TShiftKey>;

// The record of every drive and folder node.
struct DirNodeData {
    std::string Path;      // always ends with a backslash
    bool Scanned = false;  // the sub-folders have been read into child nodes
    void* UserData = nullptr;
    // Only set while share overlays are shown.
    std::shared_ptr<TShellFolder> ShellFolder;
    std::unique_ptr<TShellItem> ItemIdList;
};

// A node of the tree. A node without record and with empty text is a
// placeholder: it only makes the view draw an expand button for a node whose
// folders have not been read.
class TDirNode {
public:
    std::string Text;
    // The images are asked of the shell when the node is first shown (see
    // TDirTree::EnsureIcons); -1 until then.
    int ImageIndex = -1;
    int SelectedIndex = -1;
    int OverlayIndex = -1;
    void* ViewItem = nullptr;  // the view's own handle of the node

    DirNodeData* Data() const { return data_.get(); }
    // The parent node; null for a drive node.
    TDirNode* Parent() const { return parent_ && parent_->parent_ ? parent_ : nullptr; }
    const std::vector<std::unique_ptr<TDirNode>>& Children() const { return children_; }
    TDirNode* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    bool IsPlaceholder() const { return !data_; }

private:
    friend class TDirTree;
    std::unique_ptr<DirNodeData> data_;
    TDirNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TDirNode>> children_;
    bool dying_ = false;  // being deleted: no longer a valid selection
    bool iconsSet_ = false;
};

// The tree-view window as the logic sees it. The view keeps one item per
// node; every selection change of the window, by the user or by SelectNode,
// and every opening of an item are reported back through
// TDirTree::ViewSelected and TDirTree::CanExpand.
class TDirTreeView {
public:
    virtual ~TDirTreeView() = default;
    virtual bool HasWindow() const = 0;
    // Makes the window now; the owner of the view then calls WindowCreated.
    virtual void HandleNeeded() = 0;
    // Adds the item of `node` under `parent` (null: top level), right after
    // `after` (null: as the first child). Text and images are in the node.
    virtual void InsertNode(TDirNode& node, TDirNode* parent, TDirNode* after) = 0;
    // The node's text, images or overlay changed.
    virtual void UpdateNode(TDirNode& node) = 0;
    // Removes the node's item with everything below it.
    virtual void DeleteNode(TDirNode& node) = 0;
    virtual void DeleteAllNodes() = 0;
    virtual void CollapseNode(TDirNode& node) = 0;
    // The parent's children (null: the top level) are in a new order.
    virtual void SortChildren(TDirNode* parent) = 0;
    virtual void SelectNode(TDirNode* node) = 0;
    // Scrolls the node into view, opening its ancestors.
    virtual void MakeVisible(TDirNode& node) = 0;
    // Opens the node one level (asking CanExpand first).
    virtual void ExpandNode(TDirNode& node) = 0;
    // Drawing suspended and resumed (resuming repaints at once).
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // The hourglass cursor shown, and the previous cursor put back.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // Lets the application handle its pending messages.
    virtual void ProcessMessages() = 0;
    // Registers or unregisters the window for files dropped from the shell.
    virtual void SetAcceptDrops(bool accept) = 0;
};

// What an OnFindDir handler delivers for one directory entry.
struct TDirRec {
    uint32_t Attr = 0;
    std::string Name;
    // The handler's open enumeration; closed by the tree when it is done.
    std::unique_ptr<TFolderSearch> FindHandle;
    void* Data = nullptr;  // becomes the child node's UserData
};

class TDirTree {
public:
    // Property defaults of a new control.
    static constexpr TDirTypes kDefaultDirTypes{TDirType::dtNormal, TDirType::dtAll};
    static constexpr TDriveTypes kAllDriveTypes{TDriveType::drtUnknown, TDriveType::drtRemovable,
                                                TDriveType::drtFixed,   TDriveType::drtRemote,
                                                TDriveType::drtCDRom,   TDriveType::drtRamDisk};

    TDirTree(TDirMachine& machine, TDirTreeView& view);
    ~TDirTree();
    TDirTree(const TDirTree&) = delete;
    TDirTree& operator=(const TDirTree&) = delete;

    // Settings. Until Loaded is called, setting them only stores them.
    bool ReadOnStart = true;
    bool FastLoad = false;
    std::string InitialDirectory;  // the current directory at creation
    TDirTypes DirTypes() const { return dirTypes_; }
    void SetDirTypes(TDirTypes types);  // reloads
    bool GoBelowRecycleBin() const { return goBelowRecycleBin_; }
    void SetGoBelowRecycleBin(bool value);  // reloads
    TDriveTypes DriveTypes() const { return driveTypes_; }
    void SetDriveTypes(TDriveTypes types);  // refreshes the drives
    bool ShowShareOverlay() const { return showShareOverlay_; }
    void SetShowShareOverlay(bool value);
    bool AcceptDropFiles() const { return acceptDropFiles_; }
    void SetAcceptDropFiles(bool value);

    // Events.
    std::function<void(TDirTree&, const std::string& path, bool& doAdd)> OnAddDir;
    // Replaces the platform's enumeration: fills `rec` with the first (first
    // true) or next entry of `path` and sets `result` to 0 while it delivers one.
    std::function<void(TDirTree&, const std::string& path, TDirRec& rec, int& result, bool first)> OnFindDir;
    std::function<void(TDirTree&, TDirNode&)> OnGetIcon;
    std::function<void(TDirTree&, TDirNode&)> OnDeleteItem;
    std::function<void(TDirTree&, int x, int y, const std::string& dropDir, const std::vector<std::string>& files,
                       TShiftState shift)>
        OnDropFiles;
    std::function<void(TDirTree&, TDirNode*)> OnChange;
    std::function<void(TDirTree&)> OnClick;
    std::function<void(TDirTree&, TDirNode&, bool& allowExpansion)> OnExpanding;

    // Operations.
    void SelectPath(const std::string& path);
    std::string SelectedPath() const;
    TDirNode* FindNode(const std::string& path);
    void RemoveNode(const std::string& path);
    void AddPathNodes(const std::string& path);
    void LoadDrives();
    bool RefreshDrives();
    void Reload();
    void ScanChildren(TDirNode& node);
    void ProbeChildren(TDirNode& node);
    TDirNode& AddDriveNode(const std::string& root, void* userData);
    TDirNode& AddChildNode(TDirNode& parent, const std::string& path, void* userData);
    std::string DriveCaption(char letter, int64_t& serial);
    int64_t VolumeSerial(char letter);
    uint32_t DriveMask();
    bool AcceptsAttributes(uint32_t attributes) const;
    bool AddAllowed(const std::string& path);
    int ShareOverlayIndex(TDirNode& node);
    void CheckVolumes();
    // Asks the shell for the node's images unless it has them: the view calls
    // it when it first draws the node, so that opening a folder with
    // thousands of sub-folders does not ask the shell thousands of times.
    void EnsureIcons(TDirNode& node);
    // Opens the node one level through the view.
    void Expand(TDirNode& node) { view_.ExpandNode(node); }

    // Life of the control and what the view reports.
    void Loaded();            // the settings are in place: select the initial folder
    void WindowCreated();     // the view's window exists
    void WindowDestroying();  // the view's window is about to go
    void ViewSelected(TDirNode* node);
    bool CanExpand(TDirNode& node);
    void Click();
    void DeviceChange();
    void FilesDropped(TDirNode* target, int x, int y, std::vector<std::string> files, TShiftState shift);
    void Change(TDirNode* node);

    // State.
    TDirNode* Selected() const { return selected_; }
    const std::vector<std::unique_ptr<TDirNode>>& Items() const { return root_.children_; }
    int ChangeLock() const { return changeLock_; }
    const std::string& DriveLastDir(char letter) const;
    int64_t DriveSerial(char letter) const;
    uint32_t LoadedDrives() const { return loadedDrives_; }
    int OpenFolderIcon() {
        LoadFolderIcons();
        return openFolderIcon_;
    }
    int ClosedFolderIcon() {
        LoadFolderIcons();
        return closedFolderIcon_;
    }
    const std::vector<std::string>& DropList() const { return dropList_; }

private:
    // While the tree is rebuilt, selection changes are not processed.
    void LockChanges() { --changeLock_; }
    void UnlockChanges() { ++changeLock_; }
    using TLockScope = TScoped<TDirTree, &TDirTree::LockChanges, &TDirTree::UnlockChanges>;
    // Drawing suspended, and the hourglass shown, for a scope.
    using TUpdateScope = TScoped<TDirTreeView, &TDirTreeView::BeginUpdate, &TDirTreeView::EndUpdate>;
    using TWaitScope = TScoped<TDirTreeView, &TDirTreeView::BeginWait, &TDirTreeView::EndWait>;

    using TEntryVisitor = std::function<bool(const std::string& name, uint32_t attributes, void* data)>;
    void Enumerate(TDirNode& node, const TEntryVisitor& visit);
    bool Acceptable(const std::string& parent, const std::string& name, uint32_t attributes);
    TDirNode& InsertChild(TDirNode& parent, std::unique_ptr<TDirNode> node, size_t index);
    TDirNode& MakeChildNode(TDirNode& parent, const std::string& path, const std::string& caption, void* userData);
    TDirNode& MakeDriveNode(const std::string& root, void* userData, size_t index);
    void AddPlaceholder(TDirNode& node);
    void LoadDriveChildren(TDirNode& node);
    void SetIcons(TDirNode& node);
    void LoadFolderIcons();
    void RefreshDriveNode(TDirNode& drive);
    TDirNode* FindChild(const TDirNode& parent, const std::string& path);
    TDirNode* WalkPath(const std::string& upperPath, bool scan);
    void DeleteChildren(TDirNode& node);
    void DeleteNodeTree(TDirNode& node);
    void DeleteAllNodes();
    void ReleaseSubtree(TDirNode& node);
    static void MarkDying(TDirNode& node);
    void SetOverlays(TDirNode& parent, bool on);
    std::string LongName(const std::string& path);
    int64_t& SerialOf(char letter);

    TDirMachine& machine_;
    TDirTreeView& view_;
    TDirNode root_;  // holds the drive nodes
    TDirNode* selected_ = nullptr;
    TDirTypes dirTypes_ = kDefaultDirTypes;
    bool goBelowRecycleBin_ = false;
    TDriveTypes driveTypes_ = kAllDriveTypes;
    bool showShareOverlay_ = false;
    bool acceptDropFiles_ = false;
    bool loading_ = true;
    bool destroying_ = false;
    bool recreating_ = false;
    std::string savedPath_;
    int changeLock_ = 0;
    int deleting_ = 0;         // deletions under way: selection reports are held back
    bool selectionMoved_ = false;
    std::string driveLastDir_[26];
    int64_t driveSerial_[26] = {};
    int64_t noSerial_ = -1;
    uint32_t loadedDrives_ = 0;
    bool folderIconsLoaded_ = false;
    int openFolderIcon_ = -1;
    int closedFolderIcon_ = -1;
    std::shared_ptr<TShellFolder> drivesFolder_;
    bool drivesFolderAsked_ = false;
    std::vector<std::string> dropList_;
};

}  // namespace zub
