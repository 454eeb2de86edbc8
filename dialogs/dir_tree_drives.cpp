#include "dialogs/dir_tree.h"

#include "base/error.h"
#include "dialogs/dir_tree_internal.h"

namespace zub {
using namespace dirtree;

// --- drives -----------------------------------------------------------------

int64_t& TDirTree::SerialOf(char letter) {
    int index = LetterIndex(letter);
    if (index < 0) {
        noSerial_ = -1;
        return noSerial_;
    }
    return driveSerial_[index];
}

int64_t TDirTree::DriveSerial(char letter) const {
    int index = LetterIndex(letter);
    return index < 0 ? -1 : driveSerial_[index];
}

const std::string& TDirTree::DriveLastDir(char letter) const {
    static const std::string none;
    int index = LetterIndex(letter);
    return index < 0 ? none : driveLastDir_[index];
}

std::string TDirTree::DriveCaption(char letter, int64_t& serial) {
    char upper = machine_.UpperCase(std::string(1, letter))[0];
    std::string root = DriveRoot(letter);
    std::string label;
    uint32_t volumeSerial = 0;
    std::string caption;
    if (machine_.VolumeInformation(root, label, volumeSerial)) {
        caption = label + " (" + upper + ":)";
        serial = volumeSerial;
    } else {
        caption = std::string("(") + upper + ":)";
        serial = -1;
    }
    int type = machine_.DriveType(root);
    if (type == kDriveRemovable || type == kDriveRemote) caption = machine_.ShellDisplayName(root);
    return caption;
}

int64_t TDirTree::VolumeSerial(char letter) {
    // The serial as DriveCaption finds it, without asking the shell for a
    // caption that would be thrown away: this runs on every selection change.
    std::string label;
    uint32_t serial = 0;
    return machine_.VolumeInformation(DriveRoot(letter), label, serial) ? int64_t(serial) : -1;
}

TDirNode& TDirTree::MakeDriveNode(const std::string& rootIn, void* userData, size_t index) {
    std::string root = WithBackslash(rootIn);
    auto node = std::make_unique<TDirNode>();
    if (machine_.DriveType(root) == kDriveRemovable) {
        node->Text = machine_.ShellDisplayName(root);  // the medium is not touched
    } else {
        node->Text = DriveCaption(root[0], SerialOf(root[0]));
    }
    node->data_ = std::make_unique<DirNodeData>();
    node->data_->Path = root;
    node->data_->UserData = userData;
    return InsertChild(root_, std::move(node), index);
}

TDirNode& TDirTree::AddDriveNode(const std::string& root, void* userData) {
    return MakeDriveNode(root, userData, root_.children_.size());
}

void TDirTree::LoadDriveChildren(TDirNode& node) {
    if (!FastLoad && ProbedDriveType(machine_.DriveType(node.data_->Path)))
        ProbeChildren(node);
    else
        AddPlaceholder(node);
}

void TDirTree::LoadDrives() {
    if (!view_.HasWindow() || loading_) return;
    TLockScope lock(*this);
    TWaitScope wait(view_);
    {
        TUpdateScope update(view_);
        DeleteAllNodes();
        view_.ProcessMessages();  // the emptied tree is painted
        loadedDrives_ = DriveMask();
        for (int i = 0; i < 26; ++i) {
            if (!(loadedDrives_ & (1u << i))) continue;
            std::string root = DriveRoot(static_cast<char>('A' + i));
            if (!AddAllowed(root)) continue;
            LoadDriveChildren(AddDriveNode(root, nullptr));
        }
    }
    if (selected_) view_.MakeVisible(*selected_);
}

bool TDirTree::RefreshDrives() {
    if (loading_ || !view_.HasWindow()) return false;
    bool changed = false;
    {
        TLockScope lock(*this);
        TUpdateScope update(view_);
        uint32_t mask = DriveMask();
        // The new set counts as loaded also when an error leaves this early,
        // so that a retry does not add the same drive twice.
        struct TLoadedScope {
            uint32_t& loaded;
            uint32_t mask;
            ~TLoadedScope() { loaded = mask; }
        } loaded{loadedDrives_, mask};
        for (int i = 0; i < 26; ++i) {
            uint32_t bit = 1u << i;
            if (!(loadedDrives_ & bit) || (mask & bit)) continue;
            if (TDirNode* node = FindNode(DriveRoot(static_cast<char>('A' + i)))) DeleteNodeTree(*node);
            changed = true;
        }
        for (int i = 0; i < 26; ++i) {
            uint32_t bit = 1u << i;
            if ((loadedDrives_ & bit) || !(mask & bit)) continue;
            std::string root = DriveRoot(static_cast<char>('A' + i));
            // Drives stay in letter order: before the first greater root.
            size_t index = 0;
            const auto& items = root_.children_;
            while (index < items.size() && !(items[index]->data_ && items[index]->data_->Path > root)) ++index;
            LoadDriveChildren(MakeDriveNode(root, nullptr, index));
            changed = true;
        }
    }
    if (changed) Change(selected_);
    return changed;
}

void TDirTree::RefreshDriveNode(TDirNode& drive) {
    TLockScope lock(*this);  // deleting a selected child must not come back here
    DeleteChildren(drive);
    view_.CollapseNode(drive);
    drive.data_->Scanned = false;
    ProbeChildren(drive);
    char letter = drive.data_->Path[0];
    int64_t& serial = SerialOf(letter);
    drive.Text = DriveCaption(letter, serial);
    view_.UpdateNode(drive);
    if (serial != -1) AddPlaceholder(drive);
}

void TDirTree::CheckVolumes() {
    // Only drives with a node are examined, from Z: down: a letter that never
    // had a node cannot have changed its medium.
    const auto& items = root_.children_;
    for (size_t i = items.size(); i-- > 0;) {
        TDirNode& drive = *items[i];
        if (!drive.data_) continue;
        char letter = drive.data_->Path[0];
        if (VolumeSerial(letter) == DriveSerial(letter)) continue;
        RefreshDriveNode(drive);
        return;
    }
}

void TDirTree::DeviceChange() {
    {
        TLockScope lock(*this);
        if (!RefreshDrives()) CheckVolumes();
    }
    Change(selected_);
}

void TDirTree::Reload() {
    std::string saved = SelectedPath();
    LoadDrives();
    if (!saved.empty()) SelectPath(saved);
    if (!root_.children_.empty() && !selected_ && !saved.empty()) SelectPath(saved.substr(0, 3));
    if (selected_ || root_.children_.empty()) return;
    try {
        TDirNode* pick = nullptr;
        for (const auto& item : root_.children_) {
            TDirNode* first = item->FirstChild();
            if (!first || (first->data_ && first->data_->Scanned)) {
                pick = item.get();
                break;
            }
        }
        if (!pick) pick = root_.children_.back().get();
        if (!pick->data_) return;
        std::string last = DriveLastDir(machine_.UpperCase(pick->data_->Path.substr(0, 1))[0]);
        if (last.empty()) return;
        SelectPath(last);
        if (!machine_.SameText(SelectedPath(), last)) {
            view_.SelectNode(pick);
            Change(pick);
        }
    } catch (const std::exception&) {
        // The last fallback is a courtesy; the tree stays usable without it.
    }
}


}  // namespace zub
