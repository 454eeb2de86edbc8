#include "formats/log_book.h"

#include <algorithm>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/strings.h"
#include "formats/log_format.h"

namespace zub {

bool IsSoundUninstallKeyName(const std::string& name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) > ' ' && c != '\\'; });
}

std::string ChooseUninstallKeyName(const std::string& title, const std::string& targetFile) {
    if (IsSoundUninstallKeyName(title)) return title;
    std::string name = ExtractFileName(targetFile);
    name = Trim(name.substr(0, name.size() - ExtractFileExt(name).size()));
    return IsSoundUninstallKeyName(name) ? name : kFallbackUninstallKeyName;
}

std::string UninstallCommand(const std::string& logFileName) {
    return "\"" + ExtractFilePath(logFileName) + kUninstallerName + "\"";
}

std::string UninstallKeyError(const std::string& path) {
    return "Unable to open or create the registry key HKEY_LOCAL_MACHINE\\" + path;
}

void TSetupLogBook::AddEntry(TLogEntryKind kind, const std::string& path) {
    Lines.push_front(FormatLogEntry(kind, path));
}

void TSetupLogBook::AddDirectoryEntry(const std::string& path) { AddEntry(TLogEntryKind::Directory, path); }
void TSetupLogBook::AddFileEntry(const std::string& path) { AddEntry(TLogEntryKind::File, path); }
void TSetupLogBook::AddLinkEntry(const std::string& path) { AddEntry(TLogEntryKind::Link, path); }

std::string TSetupLogBook::EffectiveUninstallKeyName() const {
    return ChooseUninstallKeyName(UninstallKeyName, std::string());
}

std::string TSetupLogBook::LogText() const {
    std::string text = kLogSignature;
    text += kLogLineEnd;
    text += kLogNamePrefix + DisplayName + kLogLineEnd;
    text += kLogKeyPrefix + EffectiveUninstallKeyName() + kLogLineEnd;
    for (const std::string& line : Lines) {
        text += line;
        text += kLogLineEnd;
    }
    return text;
}

void TSetupLogBook::SaveLog() const {
    std::string text = LogText();
    fs::File file = fs::File::Create(LogFileName);
    file.Write(text.data(), text.size());
    file.Close();
}

}  // namespace zub
