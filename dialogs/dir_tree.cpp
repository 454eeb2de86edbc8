#include "dialogs/dir_tree.h"

#include <algorithm>
#include <utility>

#include "base/error.h"
#include "dialogs/dir_tree_internal.h"

namespace zub {
using namespace dirtree;

namespace {

// Gives a setting its new value; true when that changed it.
template <class T>
bool Assign(T& setting, const T& value) {
    if (setting == value) return false;
    setting = value;
    return true;
}

}  // namespace

TDirTree::TDirTree(TDirMachine& machine, TDirTreeView& view) : machine_(machine), view_(view) {
    for (int i = 0; i < 26; ++i) driveLastDir_[i] = DriveRoot(static_cast<char>('A' + i));
    std::string current = machine_.CurrentDirectory();
    InitialDirectory = current;
    if (!current.empty()) {
        std::string upper = machine_.UpperCase(current);
        int index = LetterIndex(upper[0]);
        if (index >= 0) driveLastDir_[index] = upper;
    }
}

// The system's closed and open folder icons, those of the Windows directory;
// asked for with the first node's icons, not at start.
void TDirTree::LoadFolderIcons() {
    if (folderIconsLoaded_) return;
    folderIconsLoaded_ = true;
    std::string windows = machine_.WindowsDirectory();
    if (windows.size() > 260) windows.resize(260);
    windows += "\\";
    closedFolderIcon_ = machine_.ShellIcon(windows, false);
    openFolderIcon_ = machine_.ShellIcon(windows, true);
}

TDirTree::~TDirTree() {
    destroying_ = true;
    changeLock_ = 0;
    DeleteAllNodes();
}

// --- settings ---------------------------------------------------------------

void TDirTree::SetDirTypes(TDirTypes types) {
    if (Assign(dirTypes_, types) && !loading_) Reload();
}

void TDirTree::SetGoBelowRecycleBin(bool value) {
    if (Assign(goBelowRecycleBin_, value) && !loading_) Reload();
}

void TDirTree::SetDriveTypes(TDriveTypes types) {
    if (Assign(driveTypes_, types) && !loading_) RefreshDrives();
}

void TDirTree::SetShowShareOverlay(bool value) {
    if (Assign(showShareOverlay_, value)) SetOverlays(root_, value);
}

void TDirTree::SetAcceptDropFiles(bool value) {
    if (Assign(acceptDropFiles_, value) && view_.HasWindow()) view_.SetAcceptDrops(value);
}

// --- filters ----------------------------------------------------------------

bool TDirTree::AcceptsAttributes(uint32_t attributes) const {
    if (dirTypes_.Contains(TDirType::dtAll)) return true;
    bool hidden = attributes & kAttrHidden, system = attributes & kAttrSystem, archive = attributes & kAttrArchive;
    if (hidden && !dirTypes_.Contains(TDirType::dtHidden)) return false;
    if (system && !dirTypes_.Contains(TDirType::dtSystem)) return false;
    if (archive && !dirTypes_.Contains(TDirType::dtArchive)) return false;
    return dirTypes_.Contains(TDirType::dtNormal) || hidden || system || archive;
}

bool TDirTree::AddAllowed(const std::string& path) {
    bool allowed = true;
    if (!goBelowRecycleBin_) {
        // The recycle folder itself is listed; whatever lies inside it is not.
        std::string lower = machine_.LowerCase(path);
        size_t at = lower.find("\\recycled\\");
        if (at == std::string::npos) at = lower.find("\\recycler\\");
        if (at != std::string::npos && at + 10 < lower.size()) allowed = false;
    }
    if (allowed && OnAddDir) OnAddDir(*this, path, allowed);
    return allowed;
}

uint32_t TDirTree::DriveMask() {
    TCriticalErrorsOff errorsOff(machine_);
    uint32_t mask = machine_.LogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        TDriveType member;
        if (DriveTypeMember(machine_.DriveType(DriveRoot(static_cast<char>('A' + i))), member) &&
            !driveTypes_.Contains(member))
            mask &= ~(1u << i);
    }
    return mask;
}

// --- folders ----------------------------------------------------------------

void TDirTree::Enumerate(TDirNode& node, const TEntryVisitor& visit) {
    const std::string parent = node.data_->Path;
    TCriticalErrorsOff errorsOff(machine_);
    if (OnFindDir) {
        TDirRec rec;
        rec.Data = node.data_->UserData;
        int result = -1;
        OnFindDir(*this, parent, rec, result, true);
        while (result == 0) {
            if (!visit(rec.Name, rec.Attr, rec.Data)) break;
            rec.Data = node.data_->UserData;
            result = -1;
            OnFindDir(*this, parent, rec, result, false);
        }
        return;  // rec.FindHandle closes the handler's search
    }
    TSearchEntry entry;
    std::unique_ptr<TFolderSearch> search = machine_.FindFirst(parent + "*.*", entry);
    if (!search) return;
    do {
        if (!visit(entry.Name, entry.Attributes, nullptr)) break;
    } while (search->Next(entry));
}

bool TDirTree::Acceptable(const std::string& parent, const std::string& name, uint32_t attributes) {
    if (!(attributes & kAttrDirectory) || name == "." || name == "..") return false;
    return AddAllowed(parent + name + "\\") && AcceptsAttributes(attributes);
}

void TDirTree::ScanChildren(TDirNode& node) {
    if (!node.data_ || node.data_->Scanned) return;
    const std::string parent = node.data_->Path;
    DeleteChildren(node);
    node.data_->Scanned = true;
    struct TName {
        std::string name;
        void* data;
    };
    std::vector<TName> names;
    Enumerate(node, [&](const std::string& name, uint32_t attributes, void* data) {
        if (Acceptable(parent, name, attributes)) names.push_back({name, data});
        return true;
    });
    std::sort(names.begin(), names.end(),
              [&](const TName& a, const TName& b) { return machine_.CompareNoCase(a.name, b.name) < 0; });
    node.children_.reserve(names.size());
    for (const TName& entry : names) {
        // The platform's own enumeration already gives the long name in its
        // stored letter case; a handler's names are looked up like any path.
        if (OnFindDir)
            AddChildNode(node, parent + entry.name, entry.data);
        else
            MakeChildNode(node, parent + entry.name + "\\", entry.name, entry.data);
    }
}

void TDirTree::ProbeChildren(TDirNode& node) {
    if (!node.data_ || node.data_->Scanned) return;
    const std::string parent = node.data_->Path;
    bool found = false;
    Enumerate(node, [&](const std::string& name, uint32_t attributes, void*) {
        found = Acceptable(parent, name, attributes);
        return !found;
    });
    if (found) AddPlaceholder(node);
}

bool TDirTree::CanExpand(TDirNode& node) {
    {
        TWaitScope wait(view_);
        ScanChildren(node);
        // Children may be deleted by a handler while probing: walk by index.
        for (size_t i = 0; i < node.children_.size(); ++i) ProbeChildren(*node.children_[i]);
    }
    bool allow = true;
    if (OnExpanding) OnExpanding(*this, node, allow);
    return allow;
}

std::string TDirTree::LongName(const std::string& path) {
    std::string component = LastComponent(path);
    std::string bare = path;
    if (!bare.empty() && bare.back() == '\\') bare.pop_back();
    if (bare.size() <= 2) return component;  // a drive has no long name of its own
    TCriticalErrorsOff errorsOff(machine_);
    TSearchEntry entry;
    if (machine_.FindFirst(bare, entry) && !entry.Name.empty()) return entry.Name;
    return component;
}

TDirNode& TDirTree::AddChildNode(TDirNode& parent, const std::string& pathIn, void* userData) {
    std::string path = WithBackslash(pathIn);
    return MakeChildNode(parent, path, LongName(path), userData);
}

TDirNode& TDirTree::MakeChildNode(TDirNode& parent, const std::string& path, const std::string& caption,
                                  void* userData) {
    auto node = std::make_unique<TDirNode>();
    node->Text = caption;
    node->data_ = std::make_unique<DirNodeData>();
    node->data_->Path = path;
    node->data_->UserData = userData;
    return InsertChild(parent, std::move(node), parent.children_.size());
}

void TDirTree::EnsureIcons(TDirNode& node) {
    if (!node.iconsSet_ && node.data_) SetIcons(node);
}

void TDirTree::SetIcons(TDirNode& node) {
    node.iconsSet_ = true;
    const std::string& path = node.data_->Path;
    node.ImageIndex = machine_.ShellIcon(path, false);
    LoadFolderIcons();
    node.SelectedIndex = node.ImageIndex == closedFolderIcon_ ? openFolderIcon_ : machine_.ShellIcon(path, true);
    if (OnGetIcon) OnGetIcon(*this, node);
}

// Links a node into its parent's list at `index` and gives it its item in the
// view; a drive or folder node gets its overlay first.
TDirNode& TDirTree::InsertChild(TDirNode& parent, std::unique_ptr<TDirNode> node, size_t index) {
    node->parent_ = &parent;
    if (node->data_ && showShareOverlay_) node->OverlayIndex = ShareOverlayIndex(*node);
    TDirNode& made = *node;
    auto& list = parent.children_;
    if (index > list.size()) index = list.size();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), std::move(node));
    TDirNode* after = index > 0 ? list[index - 1].get() : nullptr;
    view_.InsertNode(made, made.Parent(), after);
    return made;
}

void TDirTree::AddPlaceholder(TDirNode& node) {
    InsertChild(node, std::make_unique<TDirNode>(), node.children_.size());
}

// --- finding and selecting --------------------------------------------------

TDirNode* TDirTree::FindChild(const TDirNode& parent, const std::string& path) {
    for (const auto& child : parent.children_) {
        if (!child->data_) return nullptr;  // the search ends at a placeholder
        if (machine_.SameText(path, child->data_->Path)) return child.get();
    }
    return nullptr;
}

TDirNode* TDirTree::WalkPath(const std::string& upperPath, bool scan) {
    const TDirNode* level = &root_;
    TDirNode* found = nullptr;
    for (size_t slash = upperPath.find('\\'); slash != std::string::npos; slash = upperPath.find('\\', slash + 1)) {
        found = FindChild(*level, upperPath.substr(0, slash + 1));
        if (!found) return nullptr;
        if (scan && !found->data_->Scanned) ScanChildren(*found);
        level = found;
    }
    return found;
}

void TDirTree::SelectPath(const std::string& pathIn) {
    if (pathIn.empty()) throw Error("Invalid Path Name");
    if (pathIn == "?") return;
    std::string path = WithBackslash(pathIn);
    {
        TCriticalErrorsOff errorsOff(machine_);
        uint32_t attributes = 0;
        if (!machine_.PathAttributes(path.substr(0, path.size() - 1), attributes)) {
            std::string current = machine_.CurrentDirectory();
            path = std::string(1, current.empty() ? '?' : current[0]) + ":\\";
        }
    }
    TWaitScope wait(view_);
    TUpdateScope update(view_);
    TDirNode* found = WalkPath(machine_.UpperCase(path), true);
    if (!found) return;
    view_.SelectNode(found);
    view_.MakeVisible(*found);
}

std::string TDirTree::SelectedPath() const {
    if (!selected_) return "?";
    return selected_->data_ ? selected_->data_->Path : std::string();
}

TDirNode* TDirTree::FindNode(const std::string& path) {
    TWaitScope wait(view_);
    return WalkPath(machine_.UpperCase(WithBackslash(path)), false);
}

void TDirTree::RemoveNode(const std::string& path) {
    if (TDirNode* node = FindNode(path)) DeleteNodeTree(*node);
}

void TDirTree::AddPathNodes(const std::string& path) {
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
        std::string known = path.substr(0, slash + 1);
        size_t end = path.find('\\', slash + 1);
        std::string next = path.substr(slash + 1, end == std::string::npos ? std::string::npos : end - slash - 1);
        TDirNode* parent = FindNode(known);
        if (!parent || FindNode(known + next)) continue;
        TDirNode& child = AddChildNode(*parent, parent->data_->Path + next, nullptr);
        ProbeChildren(child);
        std::stable_sort(parent->children_.begin(), parent->children_.end(),
                         [&](const std::unique_ptr<TDirNode>& a, const std::unique_ptr<TDirNode>& b) {
                             return machine_.CompareCase(a->Text, b->Text) < 0;
                         });
        view_.SortChildren(parent);
    }
}

// --- selection, clicks and opening -------------------------------------------

void TDirTree::ViewSelected(TDirNode* node) {
    if (node && node->dying_) node = nullptr;
    selected_ = node;
    if (deleting_ > 0) {
        selectionMoved_ = true;  // reported once the deletion is complete
        return;
    }
    Change(node);
}

void TDirTree::Change(TDirNode* node) {
    if (destroying_ || changeLock_ != 0) return;
    if (node && node->data_) {
        char letter = node->data_->Path[0];
        if (VolumeSerial(letter) != DriveSerial(letter)) {
            // The medium was changed: the drive goes back to unread.
            TDirNode* drive = FindNode(DriveRoot(letter));
            if (drive) RefreshDriveNode(*drive);
            node = drive;
        }
    }
    if (node && node->data_) {
        std::string upper = machine_.UpperCase(node->data_->Path);
        int index = LetterIndex(upper[0]);
        if (index >= 0) driveLastDir_[index] = upper;
    }
    if (OnChange) OnChange(*this, node);
}

void TDirTree::Click() {
    TDirNode* node = selected_;
    if (!node || !node->data_) return;
    char letter = node->data_->Path[0];
    if (VolumeSerial(letter) == DriveSerial(letter)) {
        if (OnClick) OnClick(*this);
    } else {
        Change(node);
    }
}

void TDirTree::FilesDropped(TDirNode* target, int x, int y, std::vector<std::string> files, TShiftState shift) {
    if (!acceptDropFiles_ || !target || !target->data_) return;
    dropList_ = std::move(files);
    if (OnDropFiles) OnDropFiles(*this, x, y, target->data_->Path, dropList_, shift);
}

// --- life -------------------------------------------------------------------

void TDirTree::Loaded() {
    loading_ = false;
    if (!view_.HasWindow())
        view_.HandleNeeded();  // WindowCreated loads the drives
    else if (ReadOnStart)
        LoadDrives();
    uint32_t attributes = 0;
    bool initialExists = false;
    if (!InitialDirectory.empty()) {
        TCriticalErrorsOff errorsOff(machine_);
        initialExists = machine_.PathAttributes(InitialDirectory, attributes) && (attributes & kAttrDirectory);
    }
    std::string path = initialExists ? InitialDirectory : machine_.CurrentDirectory();
    if (!path.empty()) SelectPath(path);
}

void TDirTree::WindowCreated() {
    if (ReadOnStart) LoadDrives();
    if (recreating_) {
        recreating_ = false;
        SelectPath(savedPath_);
    }
    if (acceptDropFiles_) view_.SetAcceptDrops(true);
}

void TDirTree::WindowDestroying() {
    view_.SetAcceptDrops(false);
    recreating_ = true;
    savedPath_ = SelectedPath();
    if (savedPath_.empty()) savedPath_ = "?";
    DeleteAllNodes();
}


}  // namespace zub
