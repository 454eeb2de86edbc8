#include "tools/skinsetup.h"

#include <exception>

namespace zub::tool {
namespace {

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"pack", "FOLDER -o OUT.x [options]",
         "Packs the files of FOLDER into an archive of the payload format; names are written\n"
         "in Windows-1252, the setup's character set.",
         1, 1,
         {{"-o", "OUT.x", "the archive to write (required)"},
          {"--level", "LEVEL", "best, default (the default), fastest or none"},
          {"--with-paths", nullptr, "record each file's folder relative to FOLDER"},
          {"--recurse", nullptr, "take the files of sub-folders too"},
          {"--plain-directory", nullptr, "store the directory uncompressed"}},
         RunPack},
        {"list", "ARCHIVE", "Lists the entries of an archive: name, path, sizes, stored or compressed, CRC.", 1, 1,
         {}, RunList},
        {"extract", "ARCHIVE FOLDER [options]", "Extracts every entry of an archive into FOLDER, as the setup does.",
         2, 2,
         {{"--check-crc", nullptr, "verify each extracted file against its CRC"},
          {"--keep-existing", nullptr, "leave files that exist already untouched"},
          {"--with-paths", nullptr, "extract into the folders the entries record"}},
         RunExtract},
        {"verify", "FILE",
         "Checks an archive (its CRC and every entry's CRC), or a setup executable: its payload\n"
         "resource, the archives nested in it, and what its Setup.ini would make the setup do\n"
         "wrong. Errors (the setup would fail or misbehave) give exit code 1; warnings\n"
         "(cosmetic or advisory) are printed as \"warning:\" and give 0 unless --strict.",
         1, 1, {{"--strict", nullptr, "treat warnings as errors"}}, RunVerify},
        {"build", "PROJECT -o SETUP.exe [--stub setup.exe] [--uninstaller Uninstall.exe]",
         "Makes a setup from a project folder: Setup.ini, the application's files, and the\n"
         "sub-folders Graphics, Sounds and Additional. The payload goes into a copy of the stub\n"
         "as its resource ZUBTRESOR; the same project gives the same bytes. A project without\n"
         "its own Uninstall.exe gets ours. File names are written in Windows-1252.",
         1, 1,
         {{"-o", "SETUP.exe", "the setup to write (required)"},
          {"--stub", "setup.exe", "the setup program to put the payload into (default: the one beside the tool)"},
          {"--uninstaller", "Uninstall.exe", "the uninstaller for a project without one (default: the one beside the tool)"}},
         RunBuild},
    };
    return commands;
}

void PrintUsage(std::ostream& out) {
    out << "usage: skinsetup COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const TCommand& command : Commands())
        out << "  " << command.Name << " " << command.Arguments << "\n";
    out << "\n'skinsetup COMMAND --help' describes a command.\n";
}

}  // namespace

int RunSkinsetup(const std::vector<std::string>& arguments, TConsole& console) {
    if (arguments.empty()) {
        PrintUsage(console.Err);
        return 2;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
        PrintUsage(console.Out);
        return 0;
    }
    for (const TCommand& command : Commands()) {
        if (arguments[0] != command.Name) continue;
        try {
            bool help = false;
            const TArgs args = ParseArguments(command, {arguments.begin() + 1, arguments.end()}, help);
            if (help) {
                PrintCommandHelp(command, console.Out);
                return 0;
            }
            return command.Run(args, console);
        } catch (const UsageError& e) {
            console.Err << "skinsetup " << command.Name << ": " << e.what() << "\n"
                        << "Try 'skinsetup " << command.Name << " --help'.\n";
            return 2;
        } catch (const std::exception& e) {
            console.Err << "skinsetup " << command.Name << ": " << e.what() << "\n";
            return 1;
        }
    }
    console.Err << "skinsetup: unknown command " << arguments[0] << "\n";
    PrintUsage(console.Err);
    return 2;
}

}  // namespace zub::tool
