// The directory tree's logic on a machine held in memory: opening a folder
// with 10,000 sub-folders, and selecting a path five levels deep through such
// folders. What the real file system and tree view add is timed under Wine by
// dir_tree_bench_win.cpp.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/dir_tree_bench.h"
#include "dialogs/dir_tree.h"
#include "tests/unit/fake_dir_machine.h"

namespace zub {
namespace {

using bench::FolderName;
using bench::kDepth;
using bench::kWide;

// C:\Wide holds 10,000 empty folders; C:\Deep holds five levels of 10,000
// folders each, the path going on through the middle one of each level.
testing::TFakeDirMachine& Machine() {
    static testing::TFakeDirMachine* machine = [] {
        auto* m = new testing::TFakeDirMachine;
        m->AddDrive('C', kDriveFixed, "SYSTEM");
        m->Current = "C:\\";
        testing::FakeEntry& wide = m->MakeDir("C:\\Wide");
        for (int i = 0; i < kWide; ++i) {
            wide.Children.push_back(std::make_unique<testing::FakeEntry>());
            wide.Children.back()->Name = FolderName(kWide - 1 - i);  // unsorted on disk
        }
        std::string level = "C:\\Deep";
        for (int depth = 0; depth < kDepth; ++depth) {
            testing::FakeEntry& folder = m->MakeDir(level);
            for (int i = 0; i < kWide; ++i) {
                folder.Children.push_back(std::make_unique<testing::FakeEntry>());
                folder.Children.back()->Name = FolderName(i);
            }
            level += "\\" + FolderName(kWide / 2);
        }
        return m;
    }();
    return *machine;
}

// A view that only answers what the logic asks of it.
class TQuietView : public TDirTreeView {
public:
    TDirTree* Tree = nullptr;
    bool HasWindow() const override { return true; }
    void HandleNeeded() override {}
    void InsertNode(TDirNode&, TDirNode*, TDirNode*) override {}
    void UpdateNode(TDirNode&) override {}
    void DeleteNode(TDirNode&) override {}
    void DeleteAllNodes() override {}
    void CollapseNode(TDirNode&) override {}
    void SortChildren(TDirNode*) override {}
    void SelectNode(TDirNode* node) override { Tree->ViewSelected(node); }
    void MakeVisible(TDirNode& node) override {
        for (TDirNode* up = node.Parent(); up; up = up->Parent()) Tree->CanExpand(*up);
    }
    void ExpandNode(TDirNode& node) override { Tree->CanExpand(node); }
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void BeginWait() override {}
    void EndWait() override {}
    void ProcessMessages() override {}
    void SetAcceptDrops(bool) override {}
};

struct TBenchTree {
    TQuietView view;
    std::unique_ptr<TDirTree> tree;
    TBenchTree() {
        tree = std::make_unique<TDirTree>(Machine(), view);
        view.Tree = tree.get();
        tree->Loaded();
    }
};

void BM_ExpandTenThousandFolders(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<TBenchTree>();
        bench->tree->SelectPath("C:\\");
        TDirNode* wide = bench->tree->FindNode("C:\\Wide\\");
        state.ResumeTiming();
        bench->tree->Expand(*wide);
        benchmark::DoNotOptimize(wide->Children().size());
        state.PauseTiming();
        if (wide->Children().size() != kWide) state.SkipWithError("not every folder was listed");
        bench.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExpandTenThousandFolders)->Unit(benchmark::kMillisecond);

void BM_SelectPathFiveLevelsDeep(benchmark::State& state) {
    std::string path = "c:\\deep";
    for (int depth = 1; depth < kDepth; ++depth) path += "\\" + FolderName(kWide / 2);
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<TBenchTree>();
        state.ResumeTiming();
        bench->tree->SelectPath(path);
        state.PauseTiming();
        if (bench->tree->SelectedPath().size() != path.size() + 1) state.SkipWithError("path not selected");
        bench.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectPathFiveLevelsDeep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zub

BENCHMARK_MAIN();
