// The skinsetup command line: init, build, verify, pack, list, extract.
#pragma once

#include <string>
#include <vector>

#include "archive/payload_layout.h"
#include "archive/zlb_format.h"
#include "tools/command_line.h"

namespace zub::tool {

// Runs the tool with the arguments after the program name; returns the exit
// code: 0 success, 1 failure (or problems found by verify), 2 a usage error.
int RunSkinsetup(const std::vector<std::string>& arguments, TConsole& console);

// The commands, each in its own file.
int RunPack(const TArgs& args, TConsole& console);
int RunList(const TArgs& args, TConsole& console);
int RunExtract(const TArgs& args, TConsole& console);
int RunVerify(const TArgs& args, TConsole& console);
int RunBuild(const TArgs& args, TConsole& console);
int RunInit(const TArgs& args, TConsole& console);

// Raises UsageError when this build cannot compress at the level ultra.
void RequireUltra();

// A level of --level: best, default, fast (or fastest), none, or ultra (the
// best level with zopfli). Raises UsageError for any other name.
TFileCompressionLevel LevelOf(const std::string& name);

// The uninstaller's name in the payload and in the destination.

// What `build` makes a setup from.
struct TBuildOptions {
    std::string Stub;         // the setup program the payload goes into
    std::string Uninstaller;  // put in as "Uninstall.exe" when not empty
    TFileCompressionLevel Level = fcMaximum;
    bool Ultra = false;       // every compressed entry compressed with zopfli
    std::string SignCertificate;   // a PKCS#12 file: Uninstall.exe and the setup are signed
    std::string SignPasswordFile;  // the certificate's password, when it has one
};

// Makes a setup: the payload of `projectFolder` (BuildPayload, entry names
// in Windows-1252) as RCDATA "ZUBTRESOR" in a copy of the stub, written to
// `outPath`. A signature the stub carries is dropped; with SignCertificate
// the uninstaller is signed before it is packed and the setup after. Without
// signing, the same project, stub and uninstaller give the same bytes.
void BuildSetup(const std::string& projectFolder, const std::string& outPath, const TBuildOptions& options);

// The uninstaller `build` uses when the project has none and no
// --uninstaller is given: Uninstall.exe beside `stubPath` (when given),
// beside the tool, in the installed layout's share/skinsetup, or in the
// build tree's uninstall folder beside the tools folder. Raises zub::Error.
std::string DefaultUninstaller(const std::string& toolFolder, const std::string& stubPath = "");

// The project's own uninstaller (a top-level "Uninstall.exe" in any case), or "".
std::string ProjectUninstaller(const std::string& projectFolder);

// The stub `build` uses without --stub: setup.exe beside the tool, in the
// installed layout's share/skinsetup, or in the build tree's setup folder
// beside the tools folder. Raises zub::Error.
std::string DefaultStub(const std::string& toolFolder);

// The skin `init` gives a project: a folder with a Setup.ini (whose blocks
// other than Setup dress the window) and its Graphics. The installed
// layout's share/skinsetup/skin, else `sourceSkin` (the demo project of the
// source tree the tool was built from). Raises zub::Error.
std::string DefaultSkin(const std::string& toolFolder, const std::string& sourceSkin);

}  // namespace zub::tool
