#include "tools/skinsetup.h"

#include <exception>

namespace zub::tool {
namespace {

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"init", "APP_FOLDER PROJECT_FOLDER [options]",
         "Makes a project from an application folder, which 'skinsetup build PROJECT_FOLDER' turns\n"
         "into a setup at once: the application's files under Additional\\app, a Setup.ini that\n"
         "installs each one where it lies in APP_FOLDER, the read-me and licence when the folder has\n"
         "an obvious one (README*, LICENSE*, LICENCE*), and the default skin. Nothing is written when\n"
         "a name cannot be installed as it is.",
         2, 2,
         {{"--program", "NAME", "the program the shortcuts start (default: the only .exe at the top)"},
          {"--title", "TITLE", "the application's name in the wizard (default: the folder's name)"},
          {"--language", "LANGUAGE", "English (the default) or German"},
          {"--readme", "FILE", "the read-me, relative to APP_FOLDER"},
          {"--licence", "FILE", "the licence the wizard shows, relative to APP_FOLDER"},
          {"--skin", "FOLDER", "a skin: a Setup.ini whose blocks dress the window, and its Graphics"},
          {"--force", nullptr, "replace an existing PROJECT_FOLDER"}},
         RunInit},
        {"pack", "FOLDER -o OUT.x [options]",
         "Packs the files of FOLDER into an archive of the payload format; names are written\n"
         "in Windows-1252, the setup's character set.",
         1, 1,
         {{"-o", "OUT.x", "the archive to write (required)"},
          {"--level", "LEVEL", "best, default (the default), fastest, none, or ultra (zopfli: smaller, far slower)"},
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
        {"build", "PROJECT -o SETUP.exe [options]",
         "Makes a setup from a project folder: Setup.ini, the application's files, and the\n"
         "sub-folders Graphics, Sounds and Additional. The payload goes into a copy of the stub\n"
         "as its resource " + std::string(kPayloadResourceName) +
             "; the same project gives the same bytes. A project without\n"
             "its own " + kUninstallerName +
             " gets ours. File names are written in Windows-1252. When the\n"
             "check verify makes finds an error, no setup is written and the exit code is 1.",
         1, 1,
         {{"-o", "SETUP.exe", "the setup to write (required)"},
          {"--stub", "setup.exe", "the setup program to put the payload into (default: the installed one)"},
          {"--uninstaller", kUninstallerName, "the uninstaller for a project without one (default: beside the stub)"},
          {"--level", "LEVEL", "fast, best (the default), or ultra: zopfli, smaller and far slower"},
          {"--sign", "CERT.pfx",
           "sign " + std::string(kUninstallerName) + " and the setup (SHA-256 Authenticode, by osslsigncode)"},
          {"--sign-password-file", "FILE", "the file whose first line is the certificate's password"}},
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
                        << "usage: skinsetup " << command.Name << " " << command.Arguments << "\n"
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
