#include "uninstall/uninstall_texts.h"

#include <algorithm>

#include "base/strings.h"
#include "formats/log_book.h"

namespace zub {
namespace {

const char* ReasonText(TLanguage language, TRemovalProblem problem) {
    struct TReason {
        TRemovalProblem Problem;
        const char* English;
        const char* German;
    };
    static const TReason kReasons[] = {
        {TRemovalProblem::UnknownLine, "not an entry of a setup log", "kein Eintrag eines Setup-Protokolls"},
        {TRemovalProblem::NotAbsolute, "not a full path", "kein vollst\xE4ndiger Pfad"},
        {TRemovalProblem::NotPlain, "not a plain path", "kein eindeutiger Pfad"},
        {TRemovalProblem::DriveRoot, "the root of a drive", "das Stammverzeichnis eines Laufwerks"},
        {TRemovalProblem::SystemFolder, "a folder of the system", "ein Ordner des Systems"},
        {TRemovalProblem::BadKeyName, "no name of an uninstall entry", "kein Name eines Deinstallationseintrags"},
        {TRemovalProblem::FileNotRemoved, "in use or protected", "in Benutzung oder gesch\xFCtzt"},
        {TRemovalProblem::FolderNotEmpty, "the folder is not empty", "der Ordner ist nicht leer"},
        {TRemovalProblem::FolderNotRemoved, "the folder could not be removed",
         "der Ordner konnte nicht entfernt werden"},
        {TRemovalProblem::KeyNotRemoved, "the uninstall entry could not be removed",
         "der Deinstallationseintrag konnte nicht entfernt werden"},
        {TRemovalProblem::LogNotRemoved, "in use or protected", "in Benutzung oder gesch\xFCtzt"},
        {TRemovalProblem::OutsideInstallation, "not removed: outside what the setup installs",
         "nicht entfernt: au\xDF" "erhalb dessen, was das Setup installiert"},
        {TRemovalProblem::NotAShortcut, "not removed: not a shortcut", "nicht entfernt: keine Verkn\xFCpfung"},
        {TRemovalProblem::ThroughLink, "not removed: reached through a link",
         "nicht entfernt: \xFC" "ber eine Verkn\xFCpfung erreicht"},
        {TRemovalProblem::LogKept, "kept, as it names entries that were not removed",
         "behalten, da es nicht entfernte Eintr\xE4ge nennt"},
        {TRemovalProblem::KeyKept, "kept, so that the uninstaller can be run again",
         "behalten, damit die Deinstallation erneut gestartet werden kann"},
    };
    for (const TReason& reason : kReasons)
        if (reason.Problem == problem) return IsGerman(language) ? reason.German : reason.English;
    return "";
}

}  // namespace

std::string ProgramName(TLanguage language, const TSetupLog& log) {
    if (!Trim(log.Name).empty()) return log.Name;
    if (!Trim(log.KeyName).empty()) return log.KeyName;
    return IsGerman(language) ? "Das Programm" : "The program";
}

std::string UninstallCaption(TLanguage language) { return IsGerman(language) ? "Deinstallation" : "Uninstall"; }

std::string QuestionText(TLanguage language, const std::string& name) {
    if (IsGerman(language)) return "Wollen Sie " + name + " und alle zugeh\xF6rigen Komponenten entfernen?";
    return "Do you want to remove " + name + " and all of its components?";
}

std::string ProblemText(TLanguage language, const TProblemItem& item) {
    const std::string reason = ReasonText(language, item.Problem);
    if (item.Problem == TRemovalProblem::UnknownLine)
        return Format(IsGerman(language) ? "setup.log, Zeile %d: \"%s\" (%s)" : "setup.log, line %d: \"%s\" (%s)",
                      item.Line, item.What.c_str(), reason.c_str());
    if (item.Problem == TRemovalProblem::BadKeyName) return "KEY=" + item.What + " (" + reason + ")";
    if (item.Problem == TRemovalProblem::KeyNotRemoved || item.Problem == TRemovalProblem::KeyKept)
        return "HKEY_LOCAL_MACHINE\\" + std::string(kUninstallRootKey) + item.What + " (" + reason + ")";
    return item.What + " (" + reason + ")";
}

std::string ResultText(TLanguage language, const std::string& name, const std::vector<TProblemItem>& problems,
                       const std::vector<std::string>& atRestart) {
    const bool german = IsGerman(language);
    std::string text = name;
    if (problems.empty())
        text += german ? " wurde entfernt." : " was removed.";
    else
        text += german ? " wurde entfernt, au\xDF" "er:" : " was removed, except:";
    for (const TProblemItem& item : problems) text += "\r\n" + ProblemText(language, item);
    const bool again = std::any_of(problems.begin(), problems.end(),
                                   [](const TProblemItem& item) { return item.Problem == TRemovalProblem::KeyKept; });
    if (again)
        text += german ? "\r\n\r\nSchlie\xDF" "en Sie das Programm, das sie benutzt, und starten Sie die "
                         "Deinstallation erneut, um das Entfernen abzuschlie\xDF" "en."
                       : "\r\n\r\nClose the program that uses them and run the uninstaller again to finish the removal.";
    if (!atRestart.empty()) {
        text += problems.empty() ? " " : "\r\n\r\n";
        text += german ? "Ein Neustart schlie\xDFt das Entfernen ab, dann werden entfernt:"
                       : "A restart completes the removal of:";
        for (const std::string& path : atRestart) text += "\r\n" + path;
    }
    return text;
}

std::string RetryText(TLanguage language, const std::string& path) {
    if (IsGerman(language))
        return path + "\r\n\r\nDiese Datei kann nicht entfernt werden: Sie ist in Benutzung oder gesch\xFCtzt. "
                      "Schlie\xDF" "en Sie das Programm und w\xE4hlen Sie Wiederholen, oder Auslassen, um "
                      "sie sp\xE4ter zu entfernen.";
    return path + "\r\n\r\nThis file cannot be removed: it is in use or protected. Close the program and choose "
                  "Retry, or Skip to remove it later.";
}

// The box does not grow its buttons for new labels: these are no longer than
// the system's own Retry and Cancel in that language (Wiederholen, Abbrechen).
std::string RetryButtonText(TLanguage language) { return IsGerman(language) ? "&Wiederholen" : "&Retry"; }
std::string SkipButtonText(TLanguage language) { return IsGerman(language) ? "&Auslassen" : "&Skip"; }

std::string LogErrorText(TLanguage language, const std::string& logPath, const TSetupLogError& error) {
    std::string why;
    switch (error.Fault) {
        case TLogFault::Missing: why = IsGerman(language) ? "Die Datei fehlt." : "The file does not exist."; break;
        case TLogFault::Unreadable:
            why = IsGerman(language) ? "Die Datei kann nicht gelesen werden." : "The file cannot be read.";
            break;
        case TLogFault::NoSignature:
            why = IsGerman(language) ? "Ihre erste Zeile ist nicht \"SetupLOG\"." : "Its first line is not \"SetupLOG\".";
            break;
        case TLogFault::NoHeaderLine:
            why = Format(IsGerman(language) ? "Ihre Zeile %d ist nicht die Zeile NAME= oder KEY=."
                                          : "Its line %d is not the NAME= or KEY= line.",
                         error.Line);
            break;
        case TLogFault::CutOff:
            why = Format(IsGerman(language) ? "Ihre Zeile %d ist abgeschnitten." : "Its line %d is cut off.", error.Line);
            break;
    }
    if (IsGerman(language))
        return "Das Setup-Protokoll " + logPath + " ist nicht lesbar. " + why + "\r\nEs wurde nichts entfernt.";
    return "The setup log " + logPath + " cannot be used. " + why + "\r\nNothing was removed.";
}

}  // namespace zub
