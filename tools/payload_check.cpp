#include "tools/payload_check.h"

#include <algorithm>
#include <set>

#include "archive/pe_resource.h"
#include "archive/zlb_archive.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"
#include "setup/setup_script.h"
#include "tools/progress.h"
#include "tools/script_check.h"
#include "tools/temp_folder.h"

namespace zub::tool {
namespace {

std::string Comparable(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return LowerAscii(CollapseBackslashes(path));
}

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Opens `path` and extracts it into `folder` with every CRC checked, as the
// setup would extract it; reports one line under `label`. Returns 1 when the
// archive is damaged, else 0.
int CheckArchive(const std::string& path, const std::string& label, const std::string& folder, TConsole& console) {
    TZLBArchive archive;
    archive.CheckCRC = true;
    TProgressBar bar(console.Err, console.ErrIsTerminal);
    int count = 0;
    int done = 0;
    archive.OnProgress = [&](const std::string& message, int percent) {
        if (archive.ProgressPhase() == TZLBArchive::kPhaseExtracting) bar.Show(done + 1, count, percent, message);
    };
    archive.OnFileExtracted = [&](const std::string&) { ++done; };
    try {
        archive.OpenArchive(path);
        count = archive.GetFileCount();
        archive.ExtractArchive(folder);
        archive.CloseArchive();
    } catch (const Error& e) {
        bar.Finish();
        std::string entry = done < count ? " (entry \"" + archive.GetFileEntry(done).Name + "\")" : "";
        console.Out << label << ": " << e.what() << entry << "\n";
        return 1;
    }
    bar.Finish();
    console.Out << label << ": " << Plural(count, "entry", "entries") << ", archive and entry CRCs correct\n";
    return 0;
}

// Mirrors the setup's unpacking of nested archives: A.x goes into the folder
// A beside it, and every ".x" found there is unpacked the same way.
int CheckNested(const std::string& archivePath, const std::string& label, TConsole& console) {
    const std::string name = ExtractFileName(archivePath);
    const std::string target = ExtractFilePath(archivePath) + name.substr(0, name.size() - ExtractFileExt(name).size());
    fs::ForceDirectories(target);
    int problems = CheckArchive(archivePath, label, target, console);
    if (problems) return problems;
    std::vector<fs::DirEntry> entries = fs::ListDirectory(target);
    std::sort(entries.begin(), entries.end(), [](const fs::DirEntry& a, const fs::DirEntry& b) { return a.name < b.name; });
    for (const fs::DirEntry& entry : entries)
        if (LowerAscii(ExtractFileExt(entry.name)) == ".x")
            problems += CheckNested(target + "\\" + entry.name, label + " > " + entry.name, console);
    fs::RemoveFile(archivePath);
    return problems;
}

void CollectFiles(const std::string& folder, const std::string& relative, std::set<std::string>& files) {
    for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
        const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
        if (entry.isDirectory)
            CollectFiles(folder + "\\" + entry.name, path, files);
        else
            files.insert(Comparable(path));
    }
}

int CheckScript(const std::string& workFolder, TConsole& console, const std::string& prefix) {
    std::set<std::string> files;
    CollectFiles(workFolder.substr(0, workFolder.size() - 1), "", files);
    const std::vector<unsigned char> text = fs::ReadWholeFile(workFolder + "Setup.ini");
    const std::vector<std::string> lines = SplitLines(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    const std::vector<TScriptFinding> findings =
        CheckSetupScript(lines, [&](const std::string& path) { return files.count(Comparable(path)) != 0; });
    for (const TScriptFinding& finding : findings) console.Out << prefix << FormatFinding("Setup.ini", finding) << "\n";
    if (findings.empty()) console.Out << prefix << "Setup.ini: " << Plural(int(lines.size()), "line", "lines") << ", no findings\n";
    return int(findings.size());
}

// The unpacking of the setup (Data.Zub into the work folder, then gfx.x,
// snd.x and Additional.x), each archive checked on the way, then the script.
int CheckPayloadIn(const std::string& work, const std::string& payload, TConsole& console, const std::string& prefix) {
    for (const char* folder : {"Graphics", "Sounds", "Additional"}) fs::CreateDir(work + folder);
    if (int problems = CheckArchive(payload, prefix + "payload", work, console)) return problems;
    int problems = 0;
    if (!fs::FileExists(work + "Setup.ini")) {
        console.Out << prefix << "payload: no Setup.ini: the setup stops with an error\n";
        return 1;
    }
    if (fs::FileExists(work + "gfx.x")) {
        problems += CheckArchive(work + "gfx.x", prefix + "gfx.x", work + "Graphics\\", console);
    } else {
        console.Out << prefix << "payload: no gfx.x: the setup stops with \"Archive file not found\"\n";
        ++problems;
    }
    if (fs::FileExists(work + "snd.x")) problems += CheckArchive(work + "snd.x", prefix + "snd.x", work + "Sounds\\", console);
    if (fs::FileExists(work + "Additional.x")) problems += CheckNested(work + "Additional.x", prefix + "Additional.x", console);
    return problems + CheckScript(work, console, prefix);
}

bool HasSetupIni(const std::string& archivePath) {
    TZLBArchive archive;
    try {
        archive.OpenArchive(archivePath);
        for (int i = 0; i < archive.GetFileCount(); ++i)
            if (archive.GetFileEntry(i).Name == "Setup.ini") return true;
    } catch (const Error&) {
        // Reported by the check proper.
    }
    return false;
}

bool StartsLikeExecutable(const std::string& path) {
    fs::File file = fs::File::OpenRead(path);
    if (!file.IsOpen()) throw Error(Format("Unable to open file (%s)", path.c_str()));
    char magic[2] = {};
    return file.Read(magic, 2) == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

}  // namespace

int VerifyPayload(const std::string& payloadPath, TConsole& console, const std::string& prefix) {
    TTempFolder work;
    return CheckPayloadIn(work.Path(), payloadPath, console, prefix);
}

int VerifyFile(const std::string& path, TConsole& console) {
    int problems = 0;
    if (StartsLikeExecutable(path)) {
        TTempFolder work;
        const std::vector<unsigned char> exe = fs::ReadWholeFile(path);
        try {
            const TResourceLocation at = FindPayloadResource(exe.data(), exe.size());
            console.Out << path << ": setup executable, payload of " << at.Size << " bytes\n";
            fs::File data = fs::File::Create(work.Path() + "Data.Zub");
            data.Write(exe.data() + at.FileOffset, at.Size);
            data.Close();
            problems = CheckPayloadIn(work.Path(), work.Path() + "Data.Zub", console, "  ");
        } catch (const Error& e) {
            console.Out << "  payload resource: " << e.what() << "\n";
            problems = 1;
        }
    } else if (HasSetupIni(path)) {
        console.Out << path << ": payload archive\n";
        problems = VerifyPayload(path, console, "  ");
    } else {
        console.Out << path << ": archive\n";
        TTempFolder folder;
        problems = CheckArchive(path, "  archive", folder.Path(), console);
    }
    console.Out << path << ": " << (problems ? Plural(problems, "problem", "problems") : std::string("OK")) << "\n";
    return problems;
}

}  // namespace zub::tool
