// build and verify: setups made from projects, and checked.
#include <sstream>

#include "archive/payload_builder.h"
#include "archive/pe_resource.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"
#include "tools/name_encoding.h"
#include "tools/payload_check.h"
#include "tools/platform.h"
#include "tools/skinsetup.h"
#include "tools/temp_folder.h"

namespace zub::tool {

std::string DefaultStub(const std::string& toolFolder) {
    for (const char* relative : {"setup.exe", "../setup/setup.exe"}) {
        const std::string candidate = toolFolder + relative;
        if (!toolFolder.empty() && fs::FileExists(candidate)) return candidate;
    }
    throw Error("No setup.exe beside the tool (" + toolFolder + "): name the stub with --stub");
}

std::string DefaultUninstaller(const std::string& toolFolder) {
    for (const char* relative : {kUninstallerName, "../uninstall/Uninstall.exe"}) {
        const std::string candidate = toolFolder + relative;
        if (!toolFolder.empty() && fs::FileExists(candidate)) return candidate;
    }
    throw Error("No Uninstall.exe in the project, beside the tool (" + toolFolder +
                ") or in the build tree: name one with --uninstaller");
}

std::string ProjectUninstaller(const std::string& projectFolder) {
    for (const fs::DirEntry& entry : fs::ListDirectory(projectFolder))
        if (!entry.isDirectory && LowerAscii(entry.name) == LowerAscii(kUninstallerName))
            return projectFolder + "\\" + entry.name;
    return std::string();
}

void BuildSetup(const std::string& projectFolder, const std::string& stubPath, const std::string& outPath,
                const std::string& uninstallerPath) {
    if (!fs::DirectoryExists(projectFolder)) throw Error("No project folder " + projectFolder);
    const std::vector<unsigned char> stub = fs::ReadWholeFile(stubPath);
    TTempFolder temp;
    const std::string payloadPath = temp.Path() + "Data.Zub";
    TPayloadOptions options;
    if (!uninstallerPath.empty()) {
        if (!fs::FileExists(uninstallerPath)) throw Error("No uninstaller " + uninstallerPath);
        options.ExtraFiles.push_back({uninstallerPath, kUninstallerName});
    }
    options.EntryName = ArchiveName;
    BuildPayload(projectFolder, payloadPath, options);
    const std::vector<unsigned char> setup = WritePayloadResource(stub, fs::ReadWholeFile(payloadPath));
    fs::File out = fs::File::Create(outPath);
    out.Write(setup.data(), setup.size());
    out.Close();
}

int RunBuild(const TArgs& args, TConsole& console) {
    if (!args.Has("-o")) throw UsageError("missing -o (the setup to write)");
    const std::string out = args.Get("-o");
    const std::string project = args.Positional[0];
    if (!fs::DirectoryExists(project)) throw Error("No project folder " + project);
    const std::string stub = args.Has("--stub") ? args.Get("--stub") : DefaultStub(ToolFolder());
    // The project's own uninstaller goes in as one of its files; otherwise ours.
    const std::string own = ProjectUninstaller(project);
    if (!own.empty() && args.Has("--uninstaller"))
        throw UsageError("the project has its own " + std::string(kUninstallerName) + " (" + own +
                         "), which --uninstaller would replace: remove one of them");
    const std::string uninstaller = !own.empty()                ? std::string()
                                    : args.Has("--uninstaller") ? args.Get("--uninstaller")
                                                                : DefaultUninstaller(ToolFolder());
    BuildSetup(project, stub, out, uninstaller);
    console.Out << out << ": " << fs::File::OpenRead(out).Size() << " bytes, from " << project << ", " << stub
                << " and " << (own.empty() ? uninstaller : own) << "\n";
    // What the setup would do wrong is worth knowing now; the setup is made anyway.
    std::ostringstream report;
    TConsole quiet{report, console.Err, console.ErrIsTerminal};
    const TVerifyCount found = VerifyFile(out, quiet);
    if (found.Errors + found.Warnings != 0)
        console.Err << "skinsetup build: warning: the setup has " << found.Describe() << ":\n" << report.str();
    return 0;
}

int RunVerify(const TArgs& args, TConsole& console) {
    const TVerifyCount found = VerifyFile(args.Positional[0], console);
    return found.Errors != 0 || (args.Has("--strict") && found.Warnings != 0) ? 1 : 0;
}

}  // namespace zub::tool
