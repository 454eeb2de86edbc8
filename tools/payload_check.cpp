#include "tools/payload_check.h"

#include <algorithm>
#include <set>

#include "archive/payload.h"
#include "archive/payload_layout.h"
#include "archive/pe_resource.h"
#include "archive/zlb_archive.h"
#include "base/error.h"
#include "base/file.h"
#include "base/path_rules.h"
#include "base/strings.h"
#include "formats/setup_script.h"
#include "shell/temp_folder.h"
#include "tools/progress.h"
#include "tools/script_check.h"

namespace zub::tool {
namespace {

std::string Comparable(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return LowerAscii(CollapseBackslashes(path));
}

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Reports every entry whose name the reader refuses to extract as the setup
// extracts it (archive/zlb_format.h); true when there is one.
bool ReportBadNames(TZLBArchive& archive, const std::string& label, TConsole& console) {
    bool found = false;
    for (int i = 0; i < archive.GetFileCount(); ++i) {
        const TZLBFileEntry& entry = archive.GetFileEntry(i);
        const TNameProblem problem = EntryNameProblem(entry, archive.ExtractWithPath);
        if (problem == TNameProblem::None) continue;
        const std::string name = entry.Path.empty() ? entry.Name : entry.Path + "\\" + entry.Name;
        console.Out << label << ": entry \"" << name << "\" " << NameProblemText(problem)
                    << ": the setup refuses to unpack it\n";
        found = true;
    }
    return found;
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
        if (ReportBadNames(archive, label, console)) return 1;
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

void CollectFiles(const std::string& folder, const std::string& relative, std::set<std::string>& files) {
    for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
        const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
        if (entry.isDirectory)
            CollectFiles(folder + "\\" + entry.name, path, files);
        else
            files.insert(Comparable(path));
    }
}

std::string TextOf(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TVerifyCount CheckScript(const std::string& workFolder, TConsole& console, const std::string& prefix) {
    std::set<std::string> files;
    CollectFiles(workFolder.substr(0, workFolder.size() - 1), "", files);
    const std::string text = TextOf(fs::ReadWholeFile(workFolder + kSetupScriptName));
    const std::vector<std::string> lines = SplitLines(text);
    const auto lookup = [&](const std::string& path) { return files.count(Comparable(path)) != 0; };
    const auto read = [&](const std::string& path) -> std::optional<std::string> {
        if (!lookup(path)) return std::nullopt;
        return TextOf(fs::ReadWholeFile(workFolder + path));
    };
    const std::vector<TScriptFinding> findings = CheckSetupScript(lines, lookup, read);
    TVerifyCount count;
    for (const TScriptFinding& finding : findings) {
        console.Out << prefix << FormatFinding(kSetupScriptName, finding) << "\n";
        ++(finding.Warning ? count.Warnings : count.Errors);
    }
    if (findings.empty())
        console.Out << prefix << "Setup.ini: " << Plural(int(lines.size()), "line", "lines") << ", no findings\n";
    return count;
}

// Raised by the checking extractor once it has reported a damaged archive:
// the setup would stop there too.
struct TArchiveReported {};

// The setup's own unpacking steps (archive/payload.h), each archive checked
// on the way, then the script.
TVerifyCount CheckPayloadIn(const std::string& work, TConsole& console, const std::string& prefix) {
    for (const char* folder : kPayloadFolders) fs::CreateDir(work + folder);
    const auto check = [&](const std::string& archive, const std::string& folder) {
        std::string label = archive.substr(work.size());
        std::replace(label.begin(), label.end(), '/', '\\');
        if (label == kPayloadFileName) label = "payload";
        if (CheckArchive(archive, prefix + label, folder, console)) throw TArchiveReported();
    };
    try {
        UnpackPayloadArchive(work, check, check);
    } catch (const TArchiveReported&) {
        return {1, 0};
    }
    if (!fs::FileExists(work + kSetupScriptName)) {
        console.Out << prefix << "payload: no Setup.ini: the setup stops with an error\n";
        return {1, 0};
    }
    return CheckScript(work, console, prefix);
}

bool HasSetupIni(const std::string& archivePath) {
    TZLBArchive archive;
    try {
        archive.OpenArchive(archivePath);
        for (int i = 0; i < archive.GetFileCount(); ++i)
            if (archive.GetFileEntry(i).Name == kSetupScriptName) return true;
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

// Whether the setup carries an Authenticode signature; whether it holds is
// osslsigncode's to say.
TVerifyCount ReportSignature(const std::string& path, TConsole& console) {
    const std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    try {
        const TResourceLocation table = FindCertificateTable(bytes.data(), bytes.size());
        if (table.Size == 0)
            console.Out << "  signature: none\n";
        else
            console.Out << "  signature: signed (certificate table of " << table.Size << " bytes)\n";
    } catch (const Error& e) {
        console.Out << "  signature: " << e.what() << "\n";
        return {1, 0};
    }
    return {};
}

}  // namespace

std::string TVerifyCount::Describe() const {
    if (Errors == 0 && Warnings == 0) return "OK";
    std::string text;
    if (Errors) text = Plural(Errors, "error", "errors");
    if (Errors && Warnings) text += " and ";
    if (Warnings) text += Plural(Warnings, "warning", "warnings");
    return text;
}

TVerifyCount VerifyPayload(const std::string& payloadPath, TConsole& console, const std::string& prefix) {
    TTempFolder work;
    // Where the setup puts it, under the name it gives it.
    const std::vector<unsigned char> payload = fs::ReadWholeFile(payloadPath);
    fs::File data = fs::File::Create(work.Path() + kPayloadFileName);
    data.Write(payload.data(), payload.size());
    data.Close();
    return CheckPayloadIn(work.Path(), console, prefix);
}

TVerifyCount VerifyFile(const std::string& path, TConsole& console) {
    TVerifyCount found;
    if (StartsLikeExecutable(path)) {
        TTempFolder work;
        try {
            // The setup's own first step: the resource's bytes into Data.Zub.
            SaveResourceToFile(path, work.Path() + kPayloadFileName);
            console.Out << path << ": setup executable, payload of "
                        << fs::File::OpenRead(work.Path() + kPayloadFileName).Size() << " bytes\n";
            found = ReportSignature(path, console);
            found += CheckPayloadIn(work.Path(), console, "  ");
        } catch (const Error& e) {
            console.Out << "  payload resource: " << e.what() << "\n";
            found.Errors = 1;
        }
    } else if (HasSetupIni(path)) {
        console.Out << path << ": payload archive\n";
        found = VerifyPayload(path, console, "  ");
    } else {
        console.Out << path << ": archive\n";
        TTempFolder folder;
        found.Errors = CheckArchive(path, "  archive", folder.Path(), console);
    }
    console.Out << path << ": " << found.Describe() << "\n";
    return found;
}

}  // namespace zub::tool
