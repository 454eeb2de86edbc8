#include "dialogs/dir_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "base/error.h"
#include "tests/unit/fake_dir_machine.h"

namespace zub {
namespace {

using testing::TFakeDirMachine;
using testing::TFakeDirView;

class DirTreeTest : public ::testing::Test {
protected:
    DirTreeTest() {
        machine_.AddDrive('C', kDriveFixed, "SYSTEM");
        machine_.MakeDir("C:\\Apps\\Tools");
        machine_.MakeDir("C:\\WINDOWS");
        machine_.Current = "C:\\WINDOWS";
    }
    ~DirTreeTest() override {
        if (tree_) {
            EXPECT_TRUE(view_.Mirrors()) << view_.Dump();
        }
        EXPECT_EQ(view_.UpdateDepth, 0);
        EXPECT_EQ(view_.WaitDepth, 0);
        EXPECT_EQ(machine_.ErrorMode, 0u);
        EXPECT_TRUE(machine_.UnguardedAccesses.empty()) << machine_.UnguardedAccesses.front();
    }

    // A tree as the folder dialog sets it up, or with the given settings.
    TDirTree& Make(std::function<void(TDirTree&)> settings = nullptr) {
        tree_ = std::make_unique<TDirTree>(machine_, view_);
        view_.Tree = tree_.get();
        view_.Window = false;
        if (settings) settings(*tree_);
        tree_->OnClick = [this](TDirTree&) { ++clicks_; };
        tree_->Loaded();
        return *tree_;
    }
    std::set<std::string> ScannedPaths() const {
        std::set<std::string> paths;
        std::vector<const TDirNode*> stack;
        for (const auto& item : tree_->Items()) stack.push_back(item.get());
        while (!stack.empty()) {
            const TDirNode* node = stack.back();
            stack.pop_back();
            if (node->Data() && node->Data()->Scanned) paths.insert(node->Data()->Path);
            for (const auto& child : node->Children()) stack.push_back(child.get());
        }
        return paths;
    }

    TFakeDirMachine machine_;
    TFakeDirView view_;
    std::unique_ptr<TDirTree> tree_;
    int clicks_ = 0;
};

TEST_F(DirTreeTest, DriveCaptions) {
    struct Case {
        int type;
        const char* label;
        bool hasVolume;
        const char* displayName;
        const char* caption;
        int64_t serial;
    } cases[] = {
        {kDriveFixed, "SYSTEM", true, "", "SYSTEM (D:)", 0x1234},
        {kDriveFixed, "", true, "", " (D:)", 0x1234},
        {kDriveFixed, "SYSTEM", false, "", "(D:)", -1},
        {kDriveFixed, "A LABEL OF TWENTY-FOUR!", true, "", "A LABEL OF TWENTY-FOUR! (D:)", 0x1234},
        {kDriveFixed, "A LABEL OF TWENTY-FIVE!!", true, "", "(D:)", -1},
        {kDriveRemote, "SHARE", true, "share on server (D:)", "share on server (D:)", 0x1234},
        {kDriveRemovable, "", false, "", "", -1},
    };
    TDirTree& tree = Make();
    for (const Case& c : cases) {
        auto& drive = machine_.AddDrive('D', c.type, c.label);
        drive.HasVolume = c.hasVolume;
        drive.DisplayName = c.displayName;
        int64_t serial = 0;
        EXPECT_EQ(tree.DriveCaption('d', serial), c.caption) << c.label;
        EXPECT_EQ(serial, c.serial) << c.label;
        EXPECT_EQ(tree.VolumeSerial('D'), c.serial) << c.label;
    }
}

TEST_F(DirTreeTest, DrivesAreListedByTypeAndOnlyFixedNetworkAndRamDrivesAreProbed) {
    machine_.AddDrive('A', kDriveRemovable).DisplayName = "Floppy (A:)";
    machine_.AddDrive('D', kDriveCDRom, "CD");
    machine_.AddDrive('E', kDriveNoRootDir, "GONE");
    machine_.AddDrive('F', kDriveRemote).DisplayName = "net (F:)";
    machine_.AddDrive('G', kDriveRamDisk, "RAM");
    machine_.AddDrive('H', kDriveFixed, "EMPTY");
    machine_.AddDrive('I', kDriveUnknown, "ODD");
    machine_.MakeDir("A:\\Never");
    machine_.MakeDir("G:\\Temp");

    Make();
    EXPECT_EQ(view_.Dump(),
              "Floppy (A:)\n  *\n"
              "SYSTEM (C:)/\n  Apps\n    *\n  WINDOWS\n"
              "CD (D:)\n  *\n"
              "GONE (E:)\n  *\n"
              "net (F:)\n"
              "RAM (G:)\n  *\n"
              "EMPTY (H:)\n"
              "ODD (I:)\n  *\n");
    // The removable drive's medium was never touched.
    for (const std::string& root : machine_.VolumeQueries) EXPECT_NE(root, "A:\\");
    for (const std::string& folder : machine_.Enumerated) EXPECT_TRUE(folder[0] != 'A' && folder[0] != 'D') << folder;

    struct Case {
        TDriveTypes types;
        uint32_t mask;
    } cases[] = {
        {{TDriveType::drtFixed}, (1u << 2) + (1u << 4) + (1u << 7)},
        {{TDriveType::drtUnknown, TDriveType::drtFixed, TDriveType::drtRemote},
         (1u << 2) + (1u << 4) + (1u << 5) + (1u << 7) + (1u << 8)},
        {{}, 1u << 4},
    };
    for (const Case& c : cases) {
        tree_->SetDriveTypes(c.types);
        EXPECT_EQ(tree_->DriveMask(), c.mask);
        EXPECT_EQ(tree_->LoadedDrives(), c.mask);
    }
}

TEST_F(DirTreeTest, AttributeFilter) {
    using T = TDirType;
    struct Case {
        TDirTypes types;
        uint32_t attributes;
        bool accepted;
    } cases[] = {
        {{T::dtNormal, T::dtAll}, kAttrHidden | kAttrSystem, true},
        {{T::dtNormal}, 0, true},
        {{T::dtNormal}, kAttrReadOnly, true},
        {{T::dtNormal}, kAttrHidden, false},
        {{T::dtNormal}, kAttrSystem, false},
        {{T::dtNormal}, kAttrArchive, false},
        {{T::dtHidden}, kAttrHidden, true},
        {{T::dtHidden}, 0, false},
        {{T::dtHidden}, kAttrHidden | kAttrSystem, false},
        {{T::dtReadOnly}, kAttrReadOnly, false},
        {{T::dtHidden, T::dtSystem, T::dtArchive}, kAttrHidden | kAttrSystem | kAttrArchive, true},
    };
    TDirTree& tree = Make();
    for (const Case& c : cases) {
        tree.SetDirTypes(c.types);
        EXPECT_EQ(tree.AcceptsAttributes(c.attributes | kAttrDirectory), c.accepted) << c.attributes;
    }
}

TEST_F(DirTreeTest, HiddenAndSystemFoldersAreListedOnlyWithDtAll) {
    machine_.MakeDir("C:\\Apps\\Secret", kAttrDirectory | kAttrHidden);
    machine_.MakeDir("C:\\Apps\\Sys", kAttrDirectory | kAttrSystem);
    machine_.MakeFile("C:\\Apps\\readme.txt");
    TDirTree& tree = Make();
    tree.SelectPath("C:\\Apps");
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps\n    Secret\n    Sys\n    Tools\n  WINDOWS\n");
    tree.SetDirTypes({TDirType::dtNormal});
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\");  // the reload selects the same path again
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps\n    Tools\n  WINDOWS\n");
}

TEST_F(DirTreeTest, RecycleFoldersAreListedButNotEnteredUnlessAllowed) {
    machine_.MakeDir("C:\\RECYCLED\\S-1-5\\Inner");
    machine_.MakeDir("C:\\Data\\recycler\\deleted");
    TDirTree& tree = Make();
    for (const char* path : {"C:\\RECYCLED\\", "c:\\data\\Recycler\\"}) EXPECT_TRUE(tree.AddAllowed(path));
    for (const char* path : {"C:\\RECYCLED\\S-1-5\\", "c:\\data\\Recycler\\x\\", "C:\\ReCyClEd\\a\\b\\"})
        EXPECT_FALSE(tree.AddAllowed(path)) << path;
    EXPECT_TRUE(tree.AddAllowed("C:\\RECYCLEDX\\a\\"));

    tree.SelectPath("C:\\Data");
    tree.Expand(*tree.Selected());
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps\n    *\n  Data/\n    recycler\n  RECYCLED\n  WINDOWS\n");

    tree.SetGoBelowRecycleBin(true);
    tree.SelectPath("C:\\RECYCLED\\S-1-5");
    EXPECT_EQ(tree.SelectedPath(), "C:\\RECYCLED\\S-1-5\\");

    bool asked = false;
    tree.OnAddDir = [&](TDirTree&, const std::string& path, bool& doAdd) {
        asked = true;
        doAdd = path != "C:\\Apps\\";
    };
    EXPECT_FALSE(tree.AddAllowed("C:\\Apps\\"));
    EXPECT_TRUE(asked);
}

TEST_F(DirTreeTest, FoldersAreSortedIgnoringCaseAndReadOnlyWhenOpened) {
    for (const char* name : {"gamma", "beta", "Alpha"}) machine_.MakeDir(std::string("C:\\Apps\\Tools\\") + name);
    machine_.MakeDir("C:\\Apps\\Tools\\beta\\deep");
    machine_.MakeFile("C:\\Apps\\Tools\\Alpha\\only-a-file.txt");
    TDirTree& tree = Make();
    // At start: the drive's probe, then the way to the current directory and
    // a probe of each folder that became visible.
    EXPECT_EQ(machine_.Enumerated, (std::vector<std::string>{"C:\\", "C:\\", "C:\\WINDOWS\\", "C:\\Apps\\"}));
    tree.SelectPath("C:\\Apps\\Tools");
    tree.Expand(*tree.Selected());
    EXPECT_EQ(view_.Dump(),
              "SYSTEM (C:)/\n  Apps/\n    Tools/\n      Alpha\n      beta\n        *\n      gamma\n  WINDOWS\n");
}

TEST_F(DirTreeTest, SelectPathReadsExactlyTheLevelsOnTheWay) {
    machine_.MakeDir("C:\\Other\\Sub");
    machine_.MakeDir("C:\\Apps\\Tools\\Bin");
    TDirTree& tree = Make([](TDirTree& t) { t.InitialDirectory = "C:\\"; });
    machine_.Current = "C:\\Other";
    tree.SelectPath("c:\\apps\\tools");
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\Tools\\");
    EXPECT_EQ(ScannedPaths(), (std::set<std::string>{"C:\\", "C:\\Apps\\", "C:\\Apps\\Tools\\"}));
    EXPECT_EQ(tree.DriveLastDir('c'), "C:\\APPS\\TOOLS\\");

    tree.SelectPath("C:\\Apps\\Missing");  // the root of the current drive instead
    EXPECT_EQ(tree.SelectedPath(), "C:\\");
    tree.SelectPath("?");
    EXPECT_EQ(tree.SelectedPath(), "C:\\");
    try {
        tree.SelectPath("");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid Path Name");
    }
    tree.SelectPath("C:\\Apps\\Tools\\Bin");
    machine_.MakeDir("C:\\Apps\\Tools\\Late");  // exists, but its level was read before it came
    tree.SelectPath("C:\\Apps\\Tools\\Late");
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\Tools\\Bin\\");
    machine_.AddDrive('X');
    tree.SelectPath("X:\\");  // a drive the tree does not list
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\Tools\\Bin\\");
    EXPECT_EQ(tree.FindNode("c:\\APPS\\tools\\bin\\"), tree.Selected());
    EXPECT_EQ(tree.FindNode("C:\\Other\\Sub"), nullptr);  // never read
}

TEST_F(DirTreeTest, SelectedPathWithoutSelectionAndTheInitialFolder) {
    machine_.Current = "D:\\";  // a drive the tree does not list: nothing is selected
    EXPECT_EQ(Make().SelectedPath(), "?");

    tree_.reset();
    machine_.Current = "C:\\WINDOWS";
    EXPECT_EQ(Make().SelectedPath(), "C:\\WINDOWS\\");
    EXPECT_EQ(tree_->DriveLastDir('C'), "C:\\WINDOWS\\");
    EXPECT_EQ(tree_->DriveLastDir('Z'), "Z:\\");
}

TEST_F(DirTreeTest, FolderWithOnlyFilesOrUnreadableLosesItsExpandButton) {
    machine_.MakeFile("C:\\Apps\\Tools\\tool.exe");
    machine_.MakeDir("C:\\Locked\\Inside").Attributes |= 0;
    machine_.Resolve("C:\\Locked")->Refuses = true;
    TDirTree& tree = Make();
    tree.SelectPath("C:\\Apps");
    tree.Expand(*tree.Selected());
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps/\n    Tools\n  Locked\n  WINDOWS\n");
    tree.SelectPath("C:\\Locked");
    EXPECT_EQ(tree.SelectedPath(), "C:\\Locked\\");
    EXPECT_TRUE(tree.Selected()->Children().empty());
    EXPECT_TRUE(tree.Selected()->Data()->Scanned);
}

TEST_F(DirTreeTest, DrivesComingAndGoingKeepLetterOrder) {
    machine_.AddDrive('E', kDriveFixed, "DATA");
    TDirTree& tree = Make();
    std::vector<std::string> changes;
    tree.OnChange = [&](TDirTree&, TDirNode* node) { changes.push_back(node ? node->Text : "-"); };

    machine_.AddDrive('D', kDriveFixed, "NEW");
    machine_.MakeDir("D:\\Stuff");
    tree.DeviceChange();
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps\n    *\n  WINDOWS\nNEW (D:)\n  *\nDATA (E:)\n");
    EXPECT_EQ(changes, std::vector<std::string>{"WINDOWS"});  // one change, for the selected node

    tree.SelectPath("E:\\");
    machine_.Drives.erase('E');
    tree.DeviceChange();
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps\n    *\n  WINDOWS\nNEW (D:)\n  *\n");
    EXPECT_EQ(tree.SelectedPath(), "D:\\");  // the platform's choice after the deletion
    EXPECT_EQ(tree.LoadedDrives(), 0b1100u);
}

TEST_F(DirTreeTest, MediumChangeTurnsTheNextClickIntoARefresh) {
    machine_.AddDrive('D', kDriveFixed, "DISK1");
    machine_.MakeDir("D:\\Old\\Deep");
    TDirTree& tree = Make();
    tree.SelectPath("D:\\Old");
    tree.Click();
    EXPECT_EQ(clicks_, 1);

    machine_.Drives['D'].Label = "DISK2";
    machine_.Drives['D'].Serial = 0x5678;
    machine_.Drives['D'].Root.Clear();
    machine_.MakeDir("D:\\New");
    tree.Click();
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(tree.DriveSerial('D'), 0x5678);
    EXPECT_FALSE(tree.FindNode("D:\\")->Data()->Scanned);
    EXPECT_EQ(view_.Dump().substr(view_.Dump().find("DISK2")), "DISK2 (D:)\n  *\n  *\n");
    tree.Click();
    EXPECT_EQ(clicks_, 2);

    // A device change that adds no drive finds the changed medium too; an
    // unreadable one gets no placeholder.
    machine_.Drives['D'].HasVolume = false;
    tree.DeviceChange();
    EXPECT_EQ(tree.DriveSerial('D'), -1);
    EXPECT_EQ(view_.Dump().substr(view_.Dump().find("(D:)")), "(D:)\n  *\n");
}

TEST_F(DirTreeTest, AddPathNodesAndRemoveNodeAsForANewFolder) {
    machine_.MakeDir("C:\\Apps\\zeta");
    TDirTree& tree = Make();
    tree.SelectPath("C:\\Apps");
    tree.Expand(*tree.Selected());
    machine_.MakeDir("C:\\Apps\\New Folder");
    tree.RemoveNode("c:\\apps\\");
    EXPECT_EQ(tree.SelectedPath(), "C:\\WINDOWS\\");
    tree.AddPathNodes("C:\\Apps\\New Folder");
    tree.SelectPath("C:\\Apps\\New Folder");
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\New Folder\\");
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Apps/\n    New Folder\n    Tools\n    zeta\n  WINDOWS\n");

    // Added nodes are re-sorted by caption with letter case deciding ties.
    TDirNode* apps = tree.FindNode("C:\\Apps");
    tree.AddChildNode(*apps, "C:\\Apps\\ab", nullptr);
    machine_.MakeDir("C:\\Apps\\AB");
    machine_.MakeDir("C:\\Apps\\Aa");
    tree.AddPathNodes("C:\\Apps\\Aa\\");
    std::string order;
    for (const auto& child : apps->Children()) order += child->Text + ",";
    EXPECT_EQ(order, "Aa,ab,New Folder,Tools,zeta,");
}

TEST_F(DirTreeTest, ErrorsFromHandlersLeaveErrorModeLockAndDrawingRestored) {
    TDirTree& tree = Make();
    tree.OnAddDir = [](TDirTree&, const std::string&, bool&) { throw Error("refused"); };
    EXPECT_THROW(tree.SelectPath("C:\\Apps"), Error);  // thrown while C:\Apps is enumerated
    EXPECT_THROW(tree.LoadDrives(), Error);
    EXPECT_EQ(tree.ChangeLock(), 0);
    machine_.AddDrive('D');
    machine_.MakeDir("D:\\Sub");  // its probe asks the handler
    EXPECT_THROW(tree.RefreshDrives(), Error);
    EXPECT_EQ(tree.ChangeLock(), 0);
    tree.OnAddDir = nullptr;
    EXPECT_FALSE(tree.RefreshDrives());  // no drive twice
    EXPECT_EQ(view_.Dump(), "DISK (D:)\n");  // C: went with the failed load
}

TEST_F(DirTreeTest, FindDirHandlerReplacesTheEnumeration) {
    int closed = 0;
    struct Counting : TFolderSearch {
        int* closed;
        explicit Counting(int* c) : closed(c) {}
        ~Counting() override { ++*closed; }
        bool Next(TSearchEntry&) override { return false; }
    };
    static int tag = 7;
    TDirTree& tree = Make([&](TDirTree& t) {
        t.OnFindDir = [&](TDirTree&, const std::string& path, TDirRec& rec, int& result, bool first) {
            if (first) rec.FindHandle = std::make_unique<Counting>(&closed);
            static const char* names[] = {"zz", "Virtual", "file"};
            static size_t next;
            if (first) next = 0;
            result = next < 3 && path == "C:\\" ? 0 : 18;
            if (result == 0) {
                rec.Name = names[next];
                rec.Attr = next == 2 ? kAttrArchive : kAttrDirectory;
                rec.Data = &tag;
                ++next;
            }
        };
    });
    tree.SelectPath("C:\\");
    tree.Expand(*tree.Selected());
    EXPECT_EQ(view_.Dump(), "SYSTEM (C:)/\n  Virtual\n  zz\n");
    EXPECT_EQ(tree.Items()[0]->FirstChild()->Data()->UserData, &tag);
    EXPECT_GT(closed, 0);
}

// A shell folder whose items are shared when their name says so.
class FakeShellFolder : public TShellFolder {
public:
    struct Item : TShellItem {
        std::string name;
    };
    explicit FakeShellFolder(std::string name) : name_(std::move(name)) {}
    std::unique_ptr<TShellItem> ParseName(const std::string& name) override {
        if (name.find("unknown") != std::string::npos) return nullptr;
        auto item = std::make_unique<Item>();
        item->name = name;
        return item;
    }
    std::shared_ptr<TShellFolder> BindToFolder(const TShellItem& item) override {
        const std::string& name = static_cast<const Item&>(item).name;
        if (name.find("unbound") != std::string::npos) return nullptr;
        return std::make_shared<FakeShellFolder>(name_ + "/" + name);
    }
    bool Attributes(const TShellItem& item, uint32_t mask, uint32_t& attributes) override {
        const std::string& name = static_cast<const Item&>(item).name;
        attributes = name.find("shared") != std::string::npos ? (kShellAttrShare & mask) : 0;
        return true;
    }
    std::string name_;
};

TEST_F(DirTreeTest, ShareOverlayDecision) {
    machine_.MakeDir("C:\\shared docs\\private");
    machine_.MakeDir("C:\\unknown");
    machine_.MakeDir("C:\\unbound shared");
    machine_.Drives_ = std::make_shared<FakeShellFolder>("drives");
    TDirTree& tree = Make();
    tree.SelectPath("C:\\shared docs");
    tree.SetShowShareOverlay(true);
    auto overlay = [&](const char* path) { return tree.FindNode(path)->OverlayIndex; };
    EXPECT_EQ(overlay("C:\\"), -1);
    EXPECT_EQ(overlay("C:\\shared docs\\"), 0);
    EXPECT_EQ(overlay("C:\\unknown\\"), -1);
    EXPECT_EQ(overlay("C:\\unbound shared\\"), -1);
    tree.SelectPath("C:\\shared docs\\private");  // a new node asks its parent's shell folder
    EXPECT_EQ(overlay("C:\\shared docs\\private\\"), -1);
    auto* folder = static_cast<FakeShellFolder*>(tree.FindNode("C:\\shared docs\\")->Data()->ShellFolder.get());
    EXPECT_EQ(folder->name_, "drives/C:\\/shared docs");

    tree.SetShowShareOverlay(false);
    EXPECT_EQ(overlay("C:\\shared docs\\"), -1);
    EXPECT_EQ(tree.FindNode("C:\\shared docs\\")->Data()->ShellFolder, nullptr);

    machine_.Drives_.reset();  // no drives folder: no overlays
    tree_.reset();
    Make().SetShowShareOverlay(true);
    EXPECT_EQ(tree_->FindNode("C:\\shared docs\\")->OverlayIndex, -1);
    EXPECT_EQ(tree_->Items()[0]->OverlayIndex, -1);
}

TEST_F(DirTreeTest, IconsAndDroppedFiles) {
    machine_.Icons["C:\\WINDOWS\\"] = {3, 4};
    machine_.Icons["C:\\Apps\\"] = {20, 21};
    machine_.Icons["C:\\"] = {8, 8};
    TDirTree& tree = Make();
    EXPECT_EQ(tree.ClosedFolderIcon(), 3);
    EXPECT_EQ(tree.OpenFolderIcon(), 4);
    TDirNode* apps = tree.FindNode("C:\\Apps");
    EXPECT_EQ(apps->ImageIndex, -1);  // not asked before the node is shown
    int asked = 0;
    tree.OnGetIcon = [&](TDirTree&, TDirNode&) { ++asked; };
    tree.EnsureIcons(*apps);
    tree.EnsureIcons(*apps);
    EXPECT_EQ(asked, 1);
    tree.EnsureIcons(*tree.Items()[0]);
    tree.OnGetIcon = nullptr;
    EXPECT_EQ(apps->ImageIndex, 20);
    EXPECT_EQ(apps->SelectedIndex, 21);
    EXPECT_EQ(tree.Items()[0]->SelectedIndex, 8);

    std::string dropDir;
    tree.OnDropFiles = [&](TDirTree&, int, int, const std::string& dir, const std::vector<std::string>&, TShiftState) {
        dropDir = dir;
    };
    tree.FilesDropped(apps, 1, 2, {"a.txt"}, {});
    EXPECT_EQ(dropDir, "");  // not accepted while AcceptDropFiles is off
    tree.SetAcceptDropFiles(true);
    EXPECT_TRUE(view_.AcceptsDrops);
    tree.FilesDropped(apps, 1, 2, {"a.txt", "b.txt"}, {TShiftKey::ssCtrl});
    EXPECT_EQ(dropDir, "C:\\Apps\\");
    EXPECT_EQ(tree.DropList().size(), 2u);
}

TEST_F(DirTreeTest, WindowRecreationKeepsTheSelection) {
    TDirTree& tree = Make();
    tree.SelectPath("C:\\Apps\\Tools");
    int deleted = 0;
    tree.OnDeleteItem = [&](TDirTree&, TDirNode& node) {
        EXPECT_EQ(node.Data(), nullptr);  // the record goes first
        ++deleted;
    };
    tree.WindowDestroying();
    EXPECT_EQ(deleted, 4);
    tree.OnDeleteItem = nullptr;
    EXPECT_TRUE(tree.Items().empty());
    EXPECT_EQ(tree.SelectedPath(), "?");
    tree.WindowCreated();
    EXPECT_EQ(tree.SelectedPath(), "C:\\Apps\\Tools\\");
}

}  // namespace
}  // namespace zub
