// Timings of the directory tree window on the Wine prefix's file system: opening a
// folder with 10,000 sub-folders, and selecting a path five levels deep
// through folders of 10,000 sub-folders each. The cross build makes it with
// -DSKINSETUP_BENCH=ON; run it under Wine (scripts/with-wine.sh scripts/wine-run.sh
// dir_tree_bench.exe). The folders are made once in the temporary folder.
#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "base/file.h"
#include "bench/dir_tree_bench.h"
#include "dialogs/dir_machine_win.h"
#include "dialogs/dir_tree.h"
#include "dialogs/dir_tree_win.h"
#include "dialogs/folder_man_win.h"
#include "shell/shell.h"
#include "tests/win32/pump_util_win.h"

namespace zub {
namespace {

using bench::FolderName;
using bench::kDepth;
using bench::kWide;

double Seconds(LARGE_INTEGER from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

void MakeWideFolder(const std::string& folder) {
    if (!fs::ForceDirectories(folder)) throw std::runtime_error("cannot make " + folder);
    for (int i = 0; i < kWide; ++i) CreateDirectoryA((folder + "\\" + FolderName(i)).c_str(), nullptr);
}

void ExpandAndSelectPath() {
    std::string base = GetTempDir() + "DirTreeTimings\\";
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!fs::DirectoryExists(base + "Wide\\" + FolderName(kWide - 1))) MakeWideFolder(base + "Wide");
    std::string deep = base + "Deep";
    for (int depth = 0; depth < kDepth; ++depth, deep += "\\" + FolderName(kWide / 2))
        if (!fs::DirectoryExists(deep + "\\" + FolderName(kWide - 1))) MakeWideFolder(deep);
    std::printf("making the folders (once): %.2f s\n", Seconds(start));

    // The folder dialog is made at program start: what that costs.
    QueryPerformanceCounter(&start);
    { TFolderMan man(nullptr); }
    std::printf("folder dialog made and gone: %.3f s\n", Seconds(start));
    QueryPerformanceCounter(&start);
    SystemSmallImageList();
    std::printf("system image list: %.3f s\n", Seconds(start));

    TWin32DirMachine machine;
    // What one folder costs: its icons, and a probe for sub-folders.
    const int sample = 500;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < sample; ++i) machine.ShellIcon(base + "Wide\\" + FolderName(i) + "\\", false);
    std::printf("shell icon: %.3f ms per folder\n", Seconds(start) * 1000 / sample);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < sample; ++i) {
        TSearchEntry entry;
        auto search = machine.FindFirst(base + "Wide\\" + FolderName(i) + "\\*.*", entry);
        while (search && search->Next(entry)) {
        }
    }
    std::printf("probe: %.3f ms per folder\n", Seconds(start) * 1000 / sample);

    for (int round = 0; round < 3; ++round) {
        TForm form(nullptr, "TDirTreeTimingsForm", "Timings", TFormBorderStyle::bsSizeable, 320, 400);
        auto& window = form.Own<TDirTreeWindow>(&form);
        window.SetAlign(TAlign::alClient);
        window.Loaded();
        form.Show();
        TDirTree& tree = window.Tree();
        tree.SelectPath(base);
        TDirNode* wide = tree.FindNode(base + "Wide");
        if (!wide) throw std::runtime_error("the wide folder has no node");
        test::Pump();
        QueryPerformanceCounter(&start);
        tree.Expand(*wide);
        UpdateWindow(window.Handle());  // the visible items are drawn, with their icons
        double expand = Seconds(start);
        if (wide->Children().size() != size_t(kWide)) throw std::runtime_error("not every folder was read");

        QueryPerformanceCounter(&start);
        std::string target = base + "Deep";
        for (int depth = 1; depth < kDepth; ++depth) target += "\\" + FolderName(kWide / 2);
        tree.SelectPath(target);
        UpdateWindow(window.Handle());
        double select = Seconds(start);
        if (tree.SelectedPath() != target + "\\") throw std::runtime_error("SelectPath missed its target");
        std::printf("expand 10,000 folders: %.3f s; SelectPath five levels deep: %.3f s\n", expand, select);
    }
}

}  // namespace
}  // namespace zub

int main() {
    try {
        zub::ExpandAndSelectPath();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dir_tree_bench: %s\n", e.what());
        return 1;
    }
}
