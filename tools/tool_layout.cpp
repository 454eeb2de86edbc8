// Where the tool finds the stub, the uninstaller and the default skin: beside
// itself, in the installed layout (PREFIX/bin/skinsetup with
// PREFIX/share/skinsetup), or in the build tree it was built in.
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"
#include "tools/skinsetup.h"

namespace zub::tool {
namespace {

constexpr char kShareFolder[] = "../share/skinsetup/";

// The first of `toolFolder` + each relative path that exists; "" when none.
template <typename Exists>
std::string FirstExisting(const std::string& folder, std::initializer_list<std::string> relatives, Exists exists) {
    if (folder.empty()) return std::string();
    for (const std::string& relative : relatives)
        if (exists(folder + relative)) return folder + relative;
    return std::string();
}

bool IsFile(const std::string& path) { return fs::FileExists(path); }

}  // namespace

std::string DefaultStub(const std::string& toolFolder) {
    const std::string found =
        FirstExisting(toolFolder, {"setup.exe", std::string(kShareFolder) + "setup.exe", "../setup/setup.exe"}, IsFile);
    if (found.empty()) throw Error("No setup.exe beside the tool (" + toolFolder + "): name the stub with --stub");
    return found;
}

std::string DefaultUninstaller(const std::string& toolFolder, const std::string& stubPath) {
    if (!stubPath.empty()) {
        const std::string besideStub = ExtractFilePath(stubPath) + kUninstallerName;
        if (fs::FileExists(besideStub)) return besideStub;
    }
    const std::string found = FirstExisting(toolFolder,
                                            {kUninstallerName, std::string(kShareFolder) + kUninstallerName,
                                             std::string("../uninstall/") + kUninstallerName},
                                            IsFile);
    if (found.empty())
        throw Error(std::string("No ") + kUninstallerName + " in the project, beside the stub, beside the tool (" +
                    toolFolder + ") or in the build tree: name one with --uninstaller");
    return found;
}

std::string ProjectUninstaller(const std::string& projectFolder) {
    for (const fs::DirEntry& entry : fs::ListDirectory(projectFolder))
        if (!entry.isDirectory && LowerAscii(entry.name) == LowerAscii(kUninstallerName))
            return projectFolder + "\\" + entry.name;
    return std::string();
}

std::string DefaultSkin(const std::string& toolFolder, const std::string& sourceSkin) {
    const auto isSkin = [](const std::string& folder) {
        return fs::FileExists(folder + "/Setup.ini") && fs::DirectoryExists(folder + "/Graphics");
    };
    std::string found = FirstExisting(toolFolder, {std::string(kShareFolder) + "skin"}, isSkin);
    if (found.empty() && !sourceSkin.empty() && isSkin(sourceSkin)) found = sourceSkin;
    if (found.empty())
        throw Error("No default skin in " + toolFolder + kShareFolder + "skin: install skinsetup, or name a skin with --skin");
    return found;
}

}  // namespace zub::tool
