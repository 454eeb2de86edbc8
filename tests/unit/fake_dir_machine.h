// A machine held in memory for the directory tree's tests and benchmark:
// drives that come and go, media that change, folders with attributes,
// folders that refuse to be read, and a record of what was read and of the
// critical-error mode at each access. And a tree view that mirrors the
// tree's nodes the way the platform's control does.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dialogs/dir_machine.h"
#include "dialogs/dir_tree.h"

namespace zub::testing {

inline char LowerLatin1(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 32);
    return c;
}
inline char UpperLatin1(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 32);
    return c;
}

struct FakeEntry {
    std::string Name;
    uint32_t Attributes = kAttrDirectory;
    bool Refuses = false;  // enumeration fails (no access)
    std::vector<std::unique_ptr<FakeEntry>> Children;

    // The child of that name, in any letter case. An index by lower-case
    // name keeps lookups in folders of many thousand entries cheap; it is
    // rebuilt when entries were added or removed.
    FakeEntry* Find(const std::string& name) {
        if (indexed_ != Children.size()) {
            index_.clear();
            for (auto& child : Children) index_.emplace(Lower(child->Name), child.get());
            indexed_ = Children.size();
        }
        auto found = index_.find(Lower(name));
        return found == index_.end() ? nullptr : found->second;
    }

    void Clear() {
        Children.clear();
        index_.clear();
        indexed_ = 0;
    }

private:
    static std::string Lower(std::string text) {
        for (char& c : text) c = LowerLatin1(c);
        return text;
    }
    std::unordered_map<std::string, FakeEntry*> index_;
    size_t indexed_ = 0;
};

struct FakeDrive {
    int Type = kDriveFixed;
    bool HasVolume = true;  // a medium that can be read
    std::string Label;
    uint32_t Serial = 0x1234;
    std::string DisplayName;
    FakeEntry Root;
};

class TFakeDirMachine : public TDirMachine {
public:
    std::map<char, FakeDrive> Drives;  // upper-case letters
    std::string Current = "C:\\";
    std::string Windows = "C:\\WINDOWS";
    unsigned ErrorMode = 0;
    // What was read: the folder of every enumeration, and of every volume query.
    std::vector<std::string> Enumerated;
    std::vector<std::string> VolumeQueries;
    // Accesses made while critical-error dialogs were on, where they must be off.
    std::vector<std::string> UnguardedAccesses;
    // Paths with their own icon (closed, open); every other path uses 3 and 4.
    std::map<std::string, std::pair<int, int>> Icons;
    std::shared_ptr<TShellFolder> Drives_;

    FakeDrive& AddDrive(char letter, int type = kDriveFixed, const std::string& label = "DISK") {
        FakeDrive& drive = Drives[letter];
        drive.Type = type;
        drive.Label = label;
        return drive;
    }

    // Makes every missing folder of a path such as "C:\Apps\Tools".
    FakeEntry& MakeDir(const std::string& path, uint32_t attributes = kAttrDirectory) {
        FakeEntry* entry = &Drives.at(UpperLatin1(path[0])).Root;
        for (const std::string& name : Components(path)) {
            FakeEntry* next = entry->Find(name);
            if (!next) {
                entry->Children.push_back(std::make_unique<FakeEntry>());
                next = entry->Children.back().get();
                next->Name = name;
            }
            entry = next;
        }
        entry->Attributes = attributes;
        return *entry;
    }
    void MakeFile(const std::string& path) { MakeDir(path, kAttrArchive); }

    FakeEntry* Resolve(const std::string& path) {
        if (path.size() < 2 || path[1] != ':') return nullptr;
        auto drive = Drives.find(UpperLatin1(path[0]));
        if (drive == Drives.end()) return nullptr;
        FakeEntry* entry = &drive->second.Root;
        for (const std::string& name : Components(path)) {
            if (!(entry->Attributes & kAttrDirectory)) return nullptr;
            entry = entry->Find(name);
            if (!entry) return nullptr;
        }
        return entry;
    }

    uint32_t LogicalDrives() override {
        uint32_t mask = 0;
        for (const auto& [letter, drive] : Drives) mask |= 1u << (letter - 'A');
        return mask;
    }
    int DriveType(const std::string& root) override {
        auto drive = Drives.find(UpperLatin1(root[0]));
        return drive == Drives.end() ? kDriveNoRootDir : drive->second.Type;
    }
    bool VolumeInformation(const std::string& root, std::string& label, uint32_t& serial) override {
        VolumeQueries.push_back(root);
        auto drive = Drives.find(UpperLatin1(root[0]));
        if (drive == Drives.end() || !drive->second.HasVolume || drive->second.Label.size() > 23) return false;
        label = drive->second.Label;
        serial = drive->second.Serial;
        return true;
    }

    class Search : public TFolderSearch {
    public:
        explicit Search(std::vector<TSearchEntry> entries) : entries_(std::move(entries)) {}
        bool Next(TSearchEntry& entry) override {
            if (++next_ >= entries_.size()) return false;
            entry = entries_[next_];
            return true;
        }

    private:
        std::vector<TSearchEntry> entries_;
        size_t next_ = 0;
    };

    std::unique_ptr<TFolderSearch> FindFirst(const std::string& pattern, TSearchEntry& first) override {
        Guarded("FindFirst " + pattern);
        std::vector<TSearchEntry> entries;
        const std::string wildcard = "*.*";
        if (pattern.size() >= wildcard.size() && pattern.compare(pattern.size() - 3, 3, wildcard) == 0) {
            std::string folder = pattern.substr(0, pattern.size() - 3);
            Enumerated.push_back(folder);
            FakeEntry* entry = Resolve(folder);
            if (!entry || entry->Refuses || !(entry->Attributes & kAttrDirectory)) return nullptr;
            if (folder.size() > 3) entries = {{".", kAttrDirectory}, {"..", kAttrDirectory}};
            for (auto& child : entry->Children) entries.push_back({child->Name, child->Attributes});
        } else {
            FakeEntry* entry = Resolve(pattern);
            if (!entry) return nullptr;
            entries.push_back({entry->Name, entry->Attributes});
        }
        if (entries.empty()) return nullptr;
        first = entries.front();
        return std::make_unique<Search>(std::move(entries));
    }
    bool PathAttributes(const std::string& path, uint32_t& attributes) override {
        Guarded("PathAttributes " + path);
        FakeEntry* entry = Resolve(path);
        if (!entry) return false;
        attributes = entry->Attributes;
        return true;
    }
    std::string CurrentDirectory() override { return Current; }
    std::string WindowsDirectory() override { return Windows; }
    unsigned SetErrorMode(unsigned mode) override { return std::exchange(ErrorMode, mode); }

    int ShellIcon(const std::string& path, bool open) override {
        auto own = Icons.find(path);
        if (own != Icons.end()) return open ? own->second.second : own->second.first;
        return open ? 4 : 3;
    }
    std::string ShellDisplayName(const std::string& path) override {
        auto drive = Drives.find(UpperLatin1(path[0]));
        return drive == Drives.end() ? std::string() : drive->second.DisplayName;
    }
    std::shared_ptr<TShellFolder> DrivesFolder() override { return Drives_; }

    std::string UpperCase(const std::string& text) override {
        std::string result = text;
        for (char& c : result) c = UpperLatin1(c);
        return result;
    }
    std::string LowerCase(const std::string& text) override {
        std::string result = text;
        for (char& c : result) c = LowerLatin1(c);
        return result;
    }
    int CompareNoCase(const std::string& a, const std::string& b) override {
        std::string la = LowerCase(a), lb = LowerCase(b);
        return la < lb ? -1 : la > lb ? 1 : 0;
    }
    // Like the platform's word comparison: letter case decides only between
    // otherwise equal texts, and then lower case comes first.
    int CompareCase(const std::string& a, const std::string& b) override {
        if (int c = CompareNoCase(a, b)) return c;
        return a > b ? -1 : a < b ? 1 : 0;
    }
    bool SameText(const std::string& a, const std::string& b) override { return CompareNoCase(a, b) == 0; }

private:
    void Guarded(const std::string& what) {
        if (!(ErrorMode & kFailCriticalErrors)) UnguardedAccesses.push_back(what);
    }
    static std::vector<std::string> Components(const std::string& path) {
        std::vector<std::string> names;
        size_t start = 3;  // after "C:\"
        while (start < path.size()) {
            size_t end = path.find('\\', start);
            if (end == std::string::npos) end = path.size();
            if (end > start) names.push_back(path.substr(start, end - start));
            start = end + 1;
        }
        return names;
    }
};

// Mirrors the nodes as the platform's tree view holds its items: selection
// reported back, a deleted selection moving to the next sibling or else the
// parent, expanding through CanExpand.
class TFakeDirView : public TDirTreeView {
public:
    struct Item {
        TDirNode* Node = nullptr;
        Item* Parent = nullptr;
        std::vector<std::unique_ptr<Item>> Children;
        bool Expanded = false;
    };

    TDirTree* Tree = nullptr;
    bool Window = true;
    int UpdateDepth = 0;
    int WaitDepth = 0;
    int Updates = 0;  // BeginUpdate calls
    bool AcceptsDrops = false;
    Item Root;
    Item* SelectedItem = nullptr;

    bool HasWindow() const override { return Window; }
    void HandleNeeded() override {
        Window = true;
        Tree->WindowCreated();
    }
    void InsertNode(TDirNode& node, TDirNode* parent, TDirNode* after) override {
        Item* owner = parent ? ItemOf(parent) : &Root;
        auto item = std::make_unique<Item>();
        item->Node = &node;
        item->Parent = owner;
        node.ViewItem = item.get();
        auto at = owner->Children.begin();
        if (after && owner->Children.back()->Node == after)
            at = owner->Children.end();
        else if (after)
            at = std::find_if(owner->Children.begin(), owner->Children.end(),
                                     [&](const auto& p) { return p->Node == after; }) + 1;
        owner->Children.insert(at, std::move(item));
    }
    void UpdateNode(TDirNode&) override {}
    void DeleteNode(TDirNode& node) override {
        Item* item = ItemOf(&node);
        Item* owner = item->Parent;
        Item* next = nullptr;
        if (SelectedItem && Contains(item, SelectedItem)) {
            auto& list = owner->Children;
            auto at = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == item; });
            if (at + 1 != list.end()) next = (at + 1)->get();
            else if (owner != &Root) next = owner;
            else if (at != list.begin()) next = (at - 1)->get();
            SelectedItem = nullptr;
        }
        auto& list = owner->Children;
        auto gone = std::find_if(list.rbegin(), list.rend(), [&](const auto& p) { return p.get() == item; });
        list.erase(std::next(gone).base());
        if (owner->Children.empty()) owner->Expanded = false;
        if (next) {
            SelectedItem = next;
            Tree->ViewSelected(next->Node);
        }
    }
    void DeleteAllNodes() override {
        Root.Children.clear();
        SelectedItem = nullptr;
    }
    void CollapseNode(TDirNode& node) override { ItemOf(&node)->Expanded = false; }
    void SortChildren(TDirNode* parent) override {
        Item* owner = parent ? ItemOf(parent) : &Root;
        const auto& order = parent ? parent->Children() : Tree->Items();
        std::vector<std::unique_ptr<Item>> sorted;
        for (const auto& child : order) {
            auto at = std::find_if(owner->Children.begin(), owner->Children.end(),
                                   [&](const auto& p) { return p && p->Node == child.get(); });
            sorted.push_back(std::move(*at));
        }
        owner->Children = std::move(sorted);
    }
    void SelectNode(TDirNode* node) override {
        Item* item = node ? ItemOf(node) : nullptr;
        if (item == SelectedItem) return;
        SelectedItem = item;
        Tree->ViewSelected(node);
    }
    void MakeVisible(TDirNode& node) override {
        std::vector<Item*> chain;
        for (Item* up = ItemOf(&node)->Parent; up && up != &Root; up = up->Parent) chain.push_back(up);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) Open(**it);
    }
    void ExpandNode(TDirNode& node) override { Open(*ItemOf(&node)); }
    void BeginUpdate() override {
        ++UpdateDepth;
        ++Updates;
    }
    void EndUpdate() override { --UpdateDepth; }
    void BeginWait() override { ++WaitDepth; }
    void EndWait() override { --WaitDepth; }
    void ProcessMessages() override {}
    void SetAcceptDrops(bool accept) override { AcceptsDrops = accept; }

    // The items as text, one per line, indented by level: a placeholder is
    // "*", an open item is followed by "/".
    std::string Dump() const {
        std::string text;
        DumpItems(Root, 0, text);
        return text;
    }
    // True when the view holds exactly the tree's nodes, in the same order.
    bool Mirrors() const { return SameItems(Root, Tree->Items()); }

private:
    static Item* ItemOf(TDirNode* node) { return static_cast<Item*>(node->ViewItem); }
    static bool Contains(Item* tree, Item* item) {
        for (Item* up = item; up; up = up->Parent)
            if (up == tree) return true;
        return false;
    }
    void Open(Item& item) {
        if (item.Expanded || item.Children.empty()) return;
        if (Tree->CanExpand(*item.Node)) item.Expanded = !item.Children.empty();
    }
    static void DumpItems(const Item& owner, int level, std::string& text) {
        for (const auto& item : owner.Children) {
            text += std::string(level * 2, ' ') + (item->Node->IsPlaceholder() ? "*" : item->Node->Text) +
                    (item->Expanded ? "/" : "") + "\n";
            DumpItems(*item, level + 1, text);
        }
    }
    static bool SameItems(const Item& owner, const std::vector<std::unique_ptr<TDirNode>>& nodes) {
        if (owner.Children.size() != nodes.size()) return false;
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (owner.Children[i]->Node != nodes[i].get()) return false;
            if (!SameItems(*owner.Children[i], nodes[i]->Children())) return false;
        }
        return true;
    }
};

}  // namespace zub::testing
