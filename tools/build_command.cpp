// build and verify: setups made from projects, and checked.
#include <sstream>

#include "archive/payload_builder.h"
#include "archive/pe_resource.h"
#include "base/error.h"
#include "base/file.h"
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

void BuildSetup(const std::string& projectFolder, const std::string& stubPath, const std::string& outPath,
                bool ultra) {
    if (!fs::DirectoryExists(projectFolder)) throw Error("No project folder " + projectFolder);
    const std::vector<unsigned char> stub = fs::ReadWholeFile(stubPath);
    TTempFolder temp;
    const std::string payloadPath = temp.Path() + "Data.Zub";
    BuildPayload(projectFolder, payloadPath, ultra);
    const std::vector<unsigned char> setup = WritePayloadResource(stub, fs::ReadWholeFile(payloadPath));
    fs::File out = fs::File::Create(outPath);
    out.Write(setup.data(), setup.size());
    out.Close();
}

int RunBuild(const TArgs& args, TConsole& console) {
    if (!args.Has("-o")) throw UsageError("missing -o (the setup to write)");
    const std::string out = args.Get("-o");
    const std::string stub = args.Has("--stub") ? args.Get("--stub") : DefaultStub(ToolFolder());
    const std::string level = args.Get("--level", "best");
    if (level != "best" && level != "ultra") throw UsageError("unknown level " + level + " (best or ultra)");
    if (level == "ultra") RequireUltra();
    BuildSetup(args.Positional[0], stub, out, level == "ultra");
    console.Out << out << ": " << fs::File::OpenRead(out).Size() << " bytes, from " << args.Positional[0] << " and "
                << stub << "\n";
    // What the setup would do wrong is worth knowing now; the setup is made anyway.
    std::ostringstream report;
    TConsole quiet{report, console.Err, console.ErrIsTerminal};
    if (VerifyFile(out, quiet) != 0)
        console.Err << "skinsetup build: warning: the setup has problems:\n" << report.str();
    return 0;
}

int RunVerify(const TArgs& args, TConsole& console) { return VerifyFile(args.Positional[0], console) == 0 ? 0 : 1; }

}  // namespace zub::tool
