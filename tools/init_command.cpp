// init: a project made from an application folder, which build turns into a
// setup at once. The application's files go under Additional\app (each
// sub-folder a nested archive of the payload) and Setup.ini installs each
// one, with a ">" target, where it lies in the application's folder.
#include <algorithm>
#include <filesystem>
#include <map>

#include "archive/folder_walk.h"
#include "archive/payload_layout.h"
#include "archive/zlb_writer.h"
#include "base/error.h"
#include "base/file.h"
#include "base/path_rules.h"
#include "base/strings.h"
#include "shell/shell.h"
#include "formats/setup_script.h"
#include "tools/platform.h"
#include "tools/skinsetup.h"

namespace zub::tool {
namespace {

// Where the application's files lie in the project and the work folder.
constexpr char kAppFolder[] = "Additional\\app";

// One file of the application: its path on disk and relative to the
// application's folder, in the locale and in Windows-1252.
struct TAppFile {
    std::string SourcePath;
    std::string Relative;      // "plugins\x.dll" in the locale
    std::string Relative1252;  // the same in Windows-1252
    bool TopLevel = false;
};

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

std::string Comparable(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return LowerAscii(path);
}

// Every file of the application, or the reasons some cannot be carried.
std::vector<TAppFile> ListApplication(const std::string& app, std::vector<std::string>& problems) {
    std::vector<TAppFile> files;
    std::map<std::string, std::string> seen;  // comparable name -> the first file under it
    for (const TFolderFile& file : ListFolderFiles(app, true, true)) {
        TAppFile entry{file.SourcePath, file.Folder.empty() ? file.Name : file.Folder + "\\" + file.Name, "",
                       file.Folder.empty()};
        const std::string shown = fs::NativePath(file.SourcePath);
        const std::optional<std::string> converted = LocaleToWindows1252(entry.Relative);
        if (!converted) {
            problems.push_back(shown + ": the name cannot be written in Windows-1252, the setup's character set");
            continue;
        }
        entry.Relative1252 = *converted;
        if (const TNameProblem problem = CheckRelativeName(entry.Relative1252); problem != TNameProblem::None) {
            problems.push_back(shown + ": Windows refuses the name: it " + NameProblemText(problem));
            continue;
        }
        if (LowerAscii(ExtractFileExt(file.Name)) == kNestedArchiveExt) {
            problems.push_back(shown + ": the setup would unpack a file ending in .x as an archive");
            continue;
        }
        const std::string key = Comparable(entry.Relative1252);
        if (entry.TopLevel && (key == LowerAscii(kUninstallerName) || key == kSetupLogName)) {
            problems.push_back(shown + ": the setup installs its own " + file.Name + " there");
            continue;
        }
        if (auto [it, fresh] = seen.emplace(key, shown); !fresh) {
            problems.push_back(shown + ": Windows does not tell its name from that of " + it->second);
            continue;
        }
        files.push_back(std::move(entry));
    }
    return files;
}

const TAppFile* FindNamed(const std::vector<TAppFile>& files, const std::string& name) {
    const std::optional<std::string> converted = LocaleToWindows1252(name);
    if (!converted) return nullptr;
    for (const TAppFile& file : files)
        if (Comparable(file.Relative1252) == Comparable(*converted)) return &file;
    return nullptr;
}

std::string NamesOf(const std::vector<const TAppFile*>& files) {
    std::string text;
    for (const TAppFile* file : files) text += (text.empty() ? "" : ", ") + file->Relative;
    return text;
}

// The file an option names, or the one top-level file `matches` picks (one
// ending in .txt when there are several); null when there is none.
template <typename Matches>
const TAppFile* Chosen(const std::vector<TAppFile>& files, const TArgs& args, const std::string& option,
                       Matches matches, TConsole& console) {
    if (args.Has(option)) {
        const TAppFile* named = FindNamed(files, args.Get(option));
        if (!named) throw Error(option + " names " + args.Get(option) + ", which is not a file of the application");
        return named;
    }
    std::vector<const TAppFile*> candidates, texts;
    for (const TAppFile& file : files)
        if (file.TopLevel && matches(LowerAscii(file.Relative1252))) {
            candidates.push_back(&file);
            if (LowerAscii(ExtractFileExt(file.Relative1252)) == ".txt") texts.push_back(&file);
        }
    if (candidates.size() == 1) return candidates[0];
    if (texts.size() == 1) return texts[0];
    if (!candidates.empty())
        console.Err << "skinsetup init: several candidates for " << option << " (" << NamesOf(candidates)
                    << "): none taken, name one with " << option << "\n";
    return nullptr;
}

const TAppFile& Program(const std::vector<TAppFile>& files, const TArgs& args, const std::string& app) {
    if (args.Has("--program")) {
        const TAppFile* named = FindNamed(files, args.Get("--program"));
        if (!named) throw Error("--program names " + args.Get("--program") + ", which is not a file of " + app);
        return *named;
    }
    std::vector<const TAppFile*> programs;
    for (const TAppFile& file : files)
        if (file.TopLevel && LowerAscii(ExtractFileExt(file.Relative1252)) == ".exe") programs.push_back(&file);
    if (programs.empty()) throw Error("No .exe at the top of " + app + ": name the program with --program");
    if (programs.size() > 1)
        throw Error("Several programs at the top of " + app + " (" + NamesOf(programs) +
                    "): name the one to start with --program");
    return *programs[0];
}

// The skin's Setup.ini without its Setup block, and the keys of that block
// that belong to the look (the text colour and the font).
struct TSkinScript {
    std::vector<std::string> LookKeys;
    std::vector<std::string> Blocks;
};

TSkinScript ReadSkinScript(const std::string& skin) {
    const std::vector<unsigned char> bytes = fs::ReadWholeFile(skin + "/Setup.ini");
    TSkinScript script;
    bool inSetup = false, inBlock = false;
    for (const std::string& line : SplitLines(std::string(bytes.begin(), bytes.end()))) {
        if (KeyOf(line) == "Object") {
            inSetup = ValueOf(line) == kSetupObject;
            inBlock = true;
        }
        if (inSetup) {
            static const char* const kLook[] = {"TextBoxColor", "Fontname", "Fontcolor", "Fontheight"};
            if (std::find(std::begin(kLook), std::end(kLook), KeyOf(line)) != std::end(kLook))
                script.LookKeys.push_back(line);
        } else if (inBlock) {
            script.Blocks.push_back(line);
        }
        if (line == "end") inSetup = inBlock = false;
    }
    return script;
}

void CopyFile(const std::string& source, const std::string& target) {
    fs::File in = fs::File::OpenRead(source);
    if (!in.IsOpen()) throw Error(Format("Unable to open file (%s)", source.c_str()));
    fs::File out = fs::File::Create(target);
    std::vector<unsigned char> buffer(1 << 20);
    while (const size_t n = in.Read(buffer.data(), buffer.size())) out.Write(buffer.data(), n);
    out.Close();
}

void WriteText(const std::string& path, const std::string& text) {
    fs::File out = fs::File::Create(path);
    out.Write(text.data(), text.size());
    out.Close();
}

bool Contains(const std::filesystem::path& outer, const std::filesystem::path& inner) {
    const auto [end, _] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return end == outer.end();
}

// An existing project folder is replaced only with --force, and never when
// the application lies in it or it in the application.
void ClearProject(const std::string& app, const std::string& project, bool force) {
    if (!fs::PathExists(project)) return;
    if (!force) throw Error(project + " exists already: pass --force to replace it");
    if (!fs::DirectoryExists(project)) throw Error(project + " exists and is not a folder");
    const auto appPath = std::filesystem::weakly_canonical(fs::NativePath(app));
    const auto projectPath = std::filesystem::weakly_canonical(fs::NativePath(project));
    if (Contains(appPath, projectPath) || Contains(projectPath, appPath))
        throw Error("The project folder " + project + " and the application folder " + app +
                    " lie in each other: choose another project folder");
    DeleteFolderTree(project);
}

}  // namespace

int RunInit(const TArgs& args, TConsole& console) {
    const std::string app = WithoutTrailingSeparators(args.Positional[0]);
    const std::string project = WithoutTrailingSeparators(args.Positional[1]);
    const std::string language = args.Get("--language", "English");
    if (language != "English" && language != "German")
        throw UsageError("unknown language " + language + " (English or German)");
    if (!fs::DirectoryExists(app)) throw Error("No application folder " + app);

    std::vector<std::string> problems;
    const std::vector<TAppFile> files = ListApplication(app, problems);
    if (!problems.empty()) {
        for (const std::string& problem : problems) console.Err << "skinsetup init: " << problem << "\n";
        throw Error(Format("%d names cannot be installed as they are: rename them; nothing was written",
                           int(problems.size())));
    }
    const TAppFile& program = Program(files, args, app);
    const TAppFile* readMe =
        Chosen(files, args, "--readme", [](const std::string& name) { return StartsWith(name, "readme"); }, console);
    const TAppFile* licence = Chosen(
        files, args, "--licence",
        [](const std::string& name) { return StartsWith(name, "license") || StartsWith(name, "licence"); }, console);

    const std::string titleText = args.Get("--title", ExtractFileName(fs::NativePath(app)));
    const std::optional<std::string> title = LocaleToWindows1252(titleText);
    if (!title || Trim(*title).empty()) throw Error("The title \"" + titleText + "\" cannot be written in Windows-1252");
    if (const TNameProblem problem = CheckNamePart(*title); problem != TNameProblem::None)
        throw Error("The title \"" + titleText + "\" names the destination and program folders, and Windows refuses "
                    "it as a folder name: it " + NameProblemText(problem) + "; choose another with --title");
    const std::string skin = args.Has("--skin") ? WithoutTrailingSeparators(args.Get("--skin"))
                                                : DefaultSkin(ToolFolder(), SKINSETUP_SOURCE_SKIN);
    const TSkinScript skinScript = ReadSkinScript(skin);
    // Listed before anything is written, so that a link out of the skin stops the whole.
    TFolderWalk skinWalk(skin);
    const std::vector<TFolderFile> pictures = ListFolderFiles(skinWalk, skin + "/Graphics", false, false);

    std::string script = "[" + *title + "]\r\nObject=Setup\r\nTargetFile=" + program.Relative1252 + "\r\n";
    for (const TAppFile& file : files)
        script += "Addfile=" + std::string(kAppFolder) + "\\" + file.Relative1252 + kAddFileTargetMark +
                  file.Relative1252 + "\r\n";
    script += "Addfile=" + std::string(kUninstallerName) + "\r\nRazederodezTitle=" + *title + "\r\nLanguage=" +
              language + "\r\n";
    if (licence) script += "Licence=" + std::string(kAppFolder) + "\\" + licence->Relative1252 + "\r\n";
    if (readMe) script += "ReadMe=" + readMe->Relative1252 + "\r\n";
    script += "Destination=" + *title + "\r\nFolder=" + *title + "\r\nLaunchProg=1\r\nDesktopIcon=1\r\n";
    for (const std::string& line : skinScript.LookKeys) script += line + "\r\n";
    script += "end\r\n";
    for (const std::string& line : skinScript.Blocks) script += line + "\r\n";

    ClearProject(app, project, args.Has("--force"));
    const std::string appCopy = project + "\\" + kAppFolder;
    if (!fs::ForceDirectories(appCopy) || !fs::ForceDirectories(project + "\\Graphics"))
        throw CreateFileError(project);
    for (const TAppFile& file : files) {
        const std::string target = appCopy + "\\" + file.Relative;
        if (!fs::ForceDirectories(ExtractFilePath(target))) throw CreateFileError(ExtractFilePath(target));
        CopyFile(file.SourcePath, target);
    }
    for (const TFolderFile& picture : pictures)
        CopyFile(picture.SourcePath, project + "\\Graphics\\" + picture.Name);
    WriteText(project + "\\Setup.ini", script);

    console.Out << project << ": " << files.size() << " files from " << app << ", program " << program.Relative
                << (readMe ? ", read-me " + readMe->Relative : "") << (licence ? ", licence " + licence->Relative : "")
                << "\nskinsetup build " << project << " -o Setup.exe makes its setup\n";
    return 0;
}

}  // namespace zub::tool
