// The skinsetup command line: pack, list, extract, verify, build.
#pragma once

#include <string>
#include <vector>

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

// The uninstaller's name in the payload and in the destination.
inline constexpr char kUninstallerName[] = "Uninstall.exe";

// Makes a setup: the payload of `projectFolder` (BuildPayload, entry names
// in Windows-1252) as RCDATA "ZUBTRESOR" in a copy of `stubPath`, written to
// `outPath`; `uninstallerPath`, when given, goes in as "Uninstall.exe". The
// same project, stub and uninstaller give the same bytes.
void BuildSetup(const std::string& projectFolder, const std::string& stubPath, const std::string& outPath,
                const std::string& uninstallerPath = "");

// The uninstaller `build` uses when the project has none and no
// --uninstaller is given: Uninstall.exe beside the tool, or in the build
// tree's uninstall folder beside the tools folder. Raises zub::Error.
std::string DefaultUninstaller(const std::string& toolFolder);

// The project's own uninstaller (a top-level "Uninstall.exe" in any case), or "".
std::string ProjectUninstaller(const std::string& projectFolder);

// The stub `build` uses without --stub: setup.exe beside the tool, or in the
// build tree's setup folder beside the tools folder. Raises zub::Error.
std::string DefaultStub(const std::string& toolFolder);

}  // namespace zub::tool
