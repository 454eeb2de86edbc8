#include "tools/script_check.h"

#include <algorithm>
#include <map>

#include "base/error.h"
#include "base/path_rules.h"
#include "base/strings.h"
#include "formats/setup_script.h"
#include "formats/uninstall_entry.h"
#include "tools/name_encoding.h"
#include "tools/skinsetup.h"

namespace zub::tool {
namespace {

const char* const kLanguages[] = {"English", "French", "German", "Spanish"};
const char* const kButtonImages[] = {"Mask", "Touched", "Pressed", "Disabled"};

const char* ButtonName(TButtonKind kind) {
    switch (kind) {
        case TButtonKind::Back: return "Back";
        case TButtonKind::Forward: return "Forward";
        case TButtonKind::Cancel: return "Cancel";
    }
    return "";
}

// Paths as the file system compares them on Windows.
std::string Comparable(const std::string& path) { return LowerAscii(CollapseBackslashes(path)); }

// The last value of a key of the Setup object, with its line.
struct TValueAt {
    std::string Value;
    int Line = 0;
};

class TChecker : private IScriptBlocks {
public:
    TChecker(const std::vector<std::string>& lines, const TFileLookup& lookup, const TFileReader& read)
        : lines_(lines), lookup_(lookup), read_(read) {}

    std::vector<TScriptFinding> Run() {
        Encoding();
        WalkScriptBlocks(lines_, *this);
        Finish();
        return std::move(findings_);
    }

private:
    void Error(size_t index, std::string text) { findings_.push_back({int(index + 1), std::move(text), false}); }
    void Warning(size_t index, std::string text) { findings_.push_back({int(index + 1), std::move(text), true}); }
    void WholeScript(std::string text, bool warning) { findings_.push_back({0, std::move(text), warning}); }

    void Encoding() {
        for (size_t i = 0; i < lines_.size(); ++i)
            if (FirstUtf8Line(lines_[i])) {
                Warning(i,
                        "Setup.ini holds UTF-8 from this line on, which the setup shows as Windows-1252: "
                        "save it in Windows-1252");
                return;
            }
    }

    // An Object line the setup passes over.
    void NoBlock(size_t i, const std::string& kind) override {
        if (kind == kButtonObject) {
            const size_t selector = i + kButtonSelectorOffset;
            std::string where = lines_[i + 1] == "end" ? "the line after the block" : "its second line";
            Warning(selector, Format("the Button block dresses no button: %s must be Action=Back, Forward or Cancel, "
                                     "not \"%s\"",
                                     where.c_str(), lines_[selector].c_str()));
            return;
        }
        for (const char* known : kScriptObjects)
            if (LowerAscii(Trim(kind)) == LowerAscii(known))
                Error(i, Format("\"Object=%s\" is not the object %s (blanks and case matter): its block is ignored",
                                kind.c_str(), known));
    }

    void NoSelector(size_t i) override {
        Error(i, "the Button block ends before its second line: the setup stops with an error");
    }

    void Block(const TScriptBlock& block) override {
        if (block.Button) Dresses(block.Object, *block.Button);
        if (block.End == lines_.size())
            Error(block.Object, Format("the block \"Object=%s\" has no \"end\" line: the setup stops with an error",
                                       block.Kind.c_str()));
        Lines(block.Kind, block.Object, block.End);
    }

    // The button the setup dresses by the block's selector line.
    void Dresses(size_t i, TButtonKind button) {
        const size_t selector = i + kButtonSelectorOffset;
        button_ = ButtonName(button);
        if (KeyOf(lines_[selector]) != "Action")
            Warning(selector, Format("the Button block's second line \"%s\" is not its Action: the setup dresses the "
                                     "%s button by its value all the same",
                                     lines_[selector].c_str(), button_.c_str()));
        if (++dressed_[button_] == 2) Warning(i, "a second Button block dresses the " + button_ + " button again");
    }

    void Lines(const std::string& kind, size_t begin, size_t end) {
        std::vector<std::string> images;
        for (size_t k = begin + 1; k < end; ++k) {
            const std::string key = KeyOf(lines_[k]);
            const std::string value = ValueOf(lines_[k]);
            if (key == "Object")
                Error(k, Format("this Object line lies inside the block of line %d, which has no \"end\" before it: "
                                "its object is ignored",
                                int(begin + 1)));
            const std::optional<TScriptValue> type = ScriptKeyValue(kind, key);
            if (type == TScriptValue::Integer) Integer(k, key, value);
            if (type == TScriptValue::WorkFolderFile) File(k, key, key == "Addfile" ? SplitAddFile(value).Source : value);
            if (kind == kSetupObject) SetupKey(k, key, value);
            if (kind == kPanelObject && type == TScriptValue::WorkFolderFile) panel_ = true;
            if (kind == kButtonObject && type == TScriptValue::WorkFolderFile) images.push_back(key);
        }
        if (kind == kButtonObject)
            for (const char* image : kButtonImages)
                if (std::find(images.begin(), images.end(), image) == images.end())
                    Warning(begin, Format("the %s button has no %s image", button_.c_str(), image));
    }

    void Integer(size_t k, const std::string& key, const std::string& value) {
        try {
            StrToInt(value);
        } catch (const zub::Error&) {
            Error(k,
                  Format("%s needs an integer, not \"%s\": the setup stops with an error", key.c_str(), value.c_str()));
        }
    }

    void File(size_t k, const std::string& key, const std::string& value) {
        if (value.empty() || !lookup_(value))
            Error(k, Format("%s names \"%s\", which is not in the payload", key.c_str(), value.c_str()));
    }

    void SetupKey(size_t k, const std::string& key, const std::string& value) {
        if (key == "Addfile") {
            // What the later checks look for is where the file goes.
            const TAddFile names = SplitAddFile(value);
            addFiles_.push_back(Comparable(names.Target));
            for (const std::string& name : {names.Source, names.Target})
                if (const TNameProblem problem = CheckRelativeName(name); problem != TNameProblem::None) {
                    Error(k, Format("Addfile=%s %s: the setup refuses to install it", value.c_str(),
                                    NameProblemText(problem)));
                    break;
                }
        }
        if (key == "Licence") licence_ = {value, int(k)};
        if (key == "ReadMe") readMe_ = {value, int(k)};
        if (key == "TargetFile") targetFile_ = {value, int(k)};
        if (key == "Language" && std::find_if(std::begin(kLanguages), std::end(kLanguages),
                                              [&](const char* name) { return value == name; }) == std::end(kLanguages))
            Warning(k, "Language=" + value + " selects no texts (English, French, German or Spanish)");
        if (key == "Version" && !Trim(value).empty() && !IsDottedVersion(value))
            Warning(k, "Version=" + value +
                           " is not dotted numbers (such as 2.1.0): deployment tools cannot compare it with others");
    }

    // Files relative to the destination exist there only when Addfile copies them.
    void Installed(const TValueAt& at, const char* key) {
        if (Trim(at.Value).empty()) return;
        if (std::find(addFiles_.begin(), addFiles_.end(), Comparable(at.Value)) == addFiles_.end())
            Error(size_t(at.Line), Format("%s names \"%s\", which no Addfile line installs", key, at.Value.c_str()));
    }

    // A text the setup shows, checked for UTF-8.
    void ShownText(const TValueAt& at, const char* what) {
        if (!read_ || Trim(at.Value).empty()) return;
        const std::optional<std::string> text = read_(at.Value);
        if (!text) return;
        if (const int line = FirstUtf8Line(*text))
            Warning(size_t(at.Line), Format("the %s %s holds UTF-8 from its line %d on, which the setup shows as "
                                            "Windows-1252: save it in Windows-1252",
                                            what, at.Value.c_str(), line));
    }

    void Finish() {
        if (!Trim(licence_.Value).empty() && !lookup_(licence_.Value))
            Error(size_t(licence_.Line), "Licence names \"" + licence_.Value + "\", which is not in the payload");
        Installed(readMe_, "ReadMe");
        Installed(targetFile_, "TargetFile");
        ShownText(licence_, "licence");
        ShownText(readMe_, "read-me");
        if (!panel_) WholeScript("no Panel object names a Bitmap: the window has no skin and no size", false);
        for (const char* button : {"Back", "Forward", "Cancel"})
            if (!dressed_.count(button)) WholeScript(Format("no Button block dresses the %s button", button), true);
        if (std::find(addFiles_.begin(), addFiles_.end(), Comparable(kUninstallerName)) == addFiles_.end())
            WholeScript(Format("no Addfile line installs %s, which the uninstall shortcut and the uninstall entry "
                               "start: add \"Addfile=%s\"",
                               kUninstallerName, kUninstallerName),
                        true);
    }

    const std::vector<std::string>& lines_;
    const TFileLookup& lookup_;
    const TFileReader& read_;
    std::vector<TScriptFinding> findings_;
    std::vector<std::string> addFiles_;
    TValueAt licence_, readMe_, targetFile_;
    std::map<std::string, int> dressed_;
    std::string button_;
    bool panel_ = false;
};

}  // namespace

std::vector<TScriptFinding> CheckSetupScript(const std::vector<std::string>& lines, const TFileLookup& inWorkFolder,
                                             const TFileReader& read) {
    return TChecker(lines, inWorkFolder, read).Run();
}

std::string FormatFinding(const std::string& fileName, const TScriptFinding& finding) {
    const std::string text = (finding.Warning ? "warning: " : "") + finding.Text;
    if (finding.Line == 0) return fileName + ": " + text;
    return fileName + ":" + std::to_string(finding.Line) + ": " + text;
}

}  // namespace zub::tool
