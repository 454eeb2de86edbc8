// build and verify: setups made from projects, and checked.
#include <sstream>

#include "archive/payload_builder.h"
#include "archive/payload_layout.h"
#include "archive/pe_resource.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"
#include "shell/temp_folder.h"
#include "tools/name_encoding.h"
#include "tools/payload_check.h"
#include "tools/platform.h"
#include "tools/signing.h"
#include "tools/skinsetup.h"

namespace zub::tool {
namespace {

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    fs::File out = fs::File::Create(path);
    out.Write(bytes.data(), bytes.size());
    out.Close();
}

}  // namespace

void BuildSetup(const std::string& projectFolder, const std::string& outPath, const TBuildOptions& options) {
    if (!fs::DirectoryExists(projectFolder)) throw Error("No project folder " + projectFolder);
    const std::vector<unsigned char> stub = fs::ReadWholeFile(options.Stub);
    const bool sign = !options.SignCertificate.empty();
    TTempFolder temp;
    const std::string payloadPath = temp.Path() + kPayloadFileName;
    TPayloadOptions payload;
    if (!options.Uninstaller.empty()) {
        if (!fs::FileExists(options.Uninstaller)) throw Error("No uninstaller " + options.Uninstaller);
        std::string uninstaller = options.Uninstaller;
        if (sign) {
            // Signed before it is packed, so that the installed one is signed too.
            uninstaller = temp.Path() + kUninstallerName;
            SignExecutable(options.Uninstaller, uninstaller, options.SignCertificate, options.SignPasswordFile);
        }
        payload.ExtraFiles.push_back({uninstaller, kUninstallerName});
    }
    payload.EntryName = ArchiveName;
    payload.Level = options.Level;
    payload.Ultra = options.Ultra;
    BuildPayload(projectFolder, payloadPath, payload);
    const std::vector<unsigned char> setup = WritePayloadResource(stub, fs::ReadWholeFile(payloadPath));
    if (!sign) {
        WriteFile(outPath, setup);
        return;
    }
    const std::string unsignedSetup = temp.Path() + "unsigned.exe";
    WriteFile(unsignedSetup, setup);
    SignExecutable(unsignedSetup, outPath, options.SignCertificate, options.SignPasswordFile);
}

int RunBuild(const TArgs& args, TConsole& console) {
    if (!args.Has("-o")) throw UsageError("missing -o (the setup to write)");
    if (args.Has("--sign-password-file") && !args.Has("--sign"))
        throw UsageError("--sign-password-file needs --sign (the certificate)");
    TBuildOptions options;
    const std::string level = args.Get("--level", "best");
    options.Level = LevelOf(level);
    options.Ultra = level == "ultra";
    options.SignCertificate = args.Get("--sign");
    options.SignPasswordFile = args.Get("--sign-password-file");
    const std::string out = args.Get("-o");
    const std::string project = args.Positional[0];
    if (!fs::DirectoryExists(project)) throw Error("No project folder " + project);
    options.Stub = args.Has("--stub") ? args.Get("--stub") : DefaultStub(ToolFolder());
    // The project's own uninstaller goes in as one of its files; otherwise ours.
    const std::string own = ProjectUninstaller(project);
    if (!own.empty() && args.Has("--uninstaller"))
        throw UsageError("the project has its own " + std::string(kUninstallerName) + " (" + own +
                         "), which --uninstaller would replace: remove one of them");
    if (own.empty())
        options.Uninstaller = args.Has("--uninstaller")
                                  ? args.Get("--uninstaller")
                                  : DefaultUninstaller(ToolFolder(), args.Has("--stub") ? options.Stub : "");
    BuildSetup(project, out, options);
    // What the setup would do wrong: an error fails the build, a warning is told.
    std::ostringstream report;
    TConsole quiet{report, console.Err, console.ErrIsTerminal};
    const TVerifyCount found = VerifyFile(out, quiet);
    if (found.Errors != 0) {
        fs::RemoveFile(out);
        console.Err << "skinsetup build: the setup would fail: " << found.Describe() << ":\n"
                    << report.str() << "skinsetup build: " << out << " not written\n";
        return 1;
    }
    console.Out << out << ": " << fs::File::OpenRead(out).Size() << " bytes, from " << project << ", " << options.Stub
                << " and " << (own.empty() ? options.Uninstaller : own)
                << (options.SignCertificate.empty() ? "" : ", signed") << "\n";
    if (found.Warnings != 0)
        console.Err << "skinsetup build: warning: the setup has " << found.Describe() << ":\n" << report.str();
    return 0;
}

int RunVerify(const TArgs& args, TConsole& console) {
    const TVerifyCount found = VerifyFile(args.Positional[0], console);
    return found.Errors != 0 || (args.Has("--strict") && found.Warnings != 0) ? 1 : 0;
}

}  // namespace zub::tool
