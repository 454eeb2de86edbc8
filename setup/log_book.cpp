#include "setup/log_book.h"

#include <algorithm>

#include "base/file.h"
#include "base/strings.h"

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
    return "\"" + ExtractFilePath(logFileName) + "Uninstall.exe\"";
}

std::string UninstallKeyError(const std::string& path) {
    return "Unable to open or create the registry key HKEY_LOCAL_MACHINE\\" + path;
}

void TSetupLogBook::AddEntry(const char* prefix, const std::string& path) {
    Lines.push_front(prefix + path);
}

void TSetupLogBook::AddDirectoryEntry(const std::string& path) { AddEntry("DIRECTORY=", path); }
void TSetupLogBook::AddFileEntry(const std::string& path) { AddEntry("COPYFILE=", path); }
void TSetupLogBook::AddLinkEntry(const std::string& path) { AddEntry("LINK=", path); }

std::string TSetupLogBook::EffectiveUninstallKeyName() const {
    return ChooseUninstallKeyName(UninstallKeyName, std::string());
}

std::string TSetupLogBook::LogText() const {
    static const char kLineEnd[] = "\r\n";
    std::string text = "SetupLOG";
    text += kLineEnd;
    text += "NAME=" + DisplayName + kLineEnd;
    text += "KEY=" + EffectiveUninstallKeyName() + kLineEnd;
    for (const std::string& line : Lines) {
        text += line;
        text += kLineEnd;
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
