#include "tools/script_check.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "base/error.h"
#include "base/strings.h"
#include "setup/setup_script.h"

namespace zub::tool {
namespace {

enum class TKind { Setup, Toolweb, Panel, Button };

struct TKindRules {
    TKind Kind;
    const char* Name;
    std::vector<const char*> IntegerKeys;
    std::vector<const char*> WorkFolderFiles;  // checked as they are read
};

const std::array<TKindRules, 4>& Rules() {
    static const std::array<TKindRules, 4> rules = {{
        {TKind::Setup, "Setup", {"AlphaColor", "TextBoxColor", "Fontcolor", "Fontheight"}, {"Addfile"}},
        {TKind::Toolweb, "Toolweb", {"Top", "Left", "Width", "Height"}, {}},
        {TKind::Panel, "Panel", {"InvisibleColor"}, {"Bitmap"}},
        {TKind::Button, "Button", {"Top", "Left", "InvisibleColor"}, {"Mask", "Touched", "Pressed", "Disabled"}},
    }};
    return rules;
}

const TKindRules* RulesOf(const std::string& name) {
    for (const TKindRules& rules : Rules())
        if (name == rules.Name) return &rules;
    return nullptr;
}

const char* const kLanguages[] = {"English", "French", "German", "Spanish"};
const char* const kButtonImages[] = {"Mask", "Touched", "Pressed", "Disabled"};

bool Contains(const std::vector<const char*>& keys, const std::string& key) {
    for (const char* k : keys)
        if (key == k) return true;
    return false;
}

// Paths as the file system compares them on Windows.
std::string Comparable(const std::string& path) { return LowerAscii(CollapseBackslashes(path)); }

// The last value of a key of the Setup object, with its line.
struct TValueAt {
    std::string Value;
    int Line = 0;
};

class TChecker {
public:
    TChecker(const std::vector<std::string>& lines, const TFileLookup& lookup) : lines_(lines), lookup_(lookup) {}

    std::vector<TScriptFinding> Run() {
        size_t i = 1;
        while (i < lines_.size()) i = Object(i);
        Finish();
        return std::move(findings_);
    }

private:
    void Add(size_t index, std::string text) { findings_.push_back({int(index + 1), std::move(text)}); }

    // Handles the line at `i`; returns the index of the next line to look at.
    size_t Object(size_t i) {
        if (KeyOf(lines_[i]) != "Object") return i + 1;
        const std::string kind = ValueOf(lines_[i]);
        const TKindRules* rules = RulesOf(kind);
        if (!rules) {
            for (const TKindRules& known : Rules())
                if (LowerAscii(Trim(kind)) == LowerAscii(known.Name))
                    Add(i, Format("\"Object=%s\" is not the object %s (blanks and case matter): its block is ignored",
                                  kind.c_str(), known.Name));
            return i + 1;
        }
        if (rules->Kind == TKind::Button && !ButtonSelected(i)) return i + 1;
        size_t end = i + 1;
        while (end < lines_.size() && lines_[end] != "end") ++end;
        if (end == lines_.size())
            Add(i, Format("the block \"Object=%s\" has no \"end\" line: the setup stops with an error", kind.c_str()));
        Block(*rules, i, end);
        return end + 1;
    }

    // Reads the button the setup would dress from the block's second line.
    bool ButtonSelected(size_t i) {
        if (i + 2 >= lines_.size()) {
            Add(i, "the Button block ends before its second line: the setup stops with an error");
            return false;
        }
        const std::string& second = lines_[i + 2];
        const std::string value = ValueOf(second);
        const bool known = value == "Back" || value == "Forward" || value == "Cancel";
        if (KeyOf(second) != "Action" || !known) {
            std::string where = lines_[i + 1] == "end" ? "the line after the block" : "its second line";
            Add(i + 2, Format("the Button block dresses no button: %s must be Action=Back, Forward or Cancel, not \"%s\"",
                              where.c_str(), second.c_str()));
            return false;
        }
        if (++dressed_[value] == 2) Add(i, "a second Button block dresses the " + value + " button again");
        button_ = value;
        return true;
    }

    void Block(const TKindRules& rules, size_t begin, size_t end) {
        std::vector<std::string> images;
        for (size_t k = begin + 1; k < end; ++k) {
            const std::string key = KeyOf(lines_[k]);
            const std::string value = ValueOf(lines_[k]);
            if (key == "Object")
                Add(k, Format("this Object line lies inside the block of line %d, which has no \"end\" before it: "
                              "its object is ignored",
                              int(begin + 1)));
            if (Contains(rules.IntegerKeys, key)) Integer(k, key, value);
            if (Contains(rules.WorkFolderFiles, key)) File(k, key, value);
            if (rules.Kind == TKind::Setup) SetupKey(k, key, value);
            if (rules.Kind == TKind::Panel && key == "Bitmap") panel_ = true;
            if (rules.Kind == TKind::Button && Contains({"Mask", "Touched", "Pressed", "Disabled"}, key))
                images.push_back(key);
        }
        if (rules.Kind == TKind::Button)
            for (const char* image : kButtonImages)
                if (std::find(images.begin(), images.end(), image) == images.end())
                    Add(begin, Format("the %s button has no %s image", button_.c_str(), image));
    }

    void Integer(size_t k, const std::string& key, const std::string& value) {
        try {
            StrToInt(value);
        } catch (const Error&) {
            Add(k, Format("%s needs an integer, not \"%s\": the setup stops with an error", key.c_str(), value.c_str()));
        }
    }

    void File(size_t k, const std::string& key, const std::string& value) {
        if (value.empty() || !lookup_(value))
            Add(k, Format("%s names \"%s\", which is not in the payload", key.c_str(), value.c_str()));
    }

    void SetupKey(size_t k, const std::string& key, const std::string& value) {
        if (key == "Addfile") addFiles_.push_back(Comparable(value));
        if (key == "Licence") licence_ = {value, int(k)};
        if (key == "ReadMe") readMe_ = {value, int(k)};
        if (key == "TargetFile") targetFile_ = {value, int(k)};
        if (key == "Language" && std::find_if(std::begin(kLanguages), std::end(kLanguages), [&](const char* name) {
                                     return value == name;
                                 }) == std::end(kLanguages))
            Add(k, "Language=" + value + " selects no texts (English, French, German or Spanish)");
    }

    // Files relative to the destination exist there only when Addfile copies them.
    void Installed(const TValueAt& at, const char* key) {
        if (Trim(at.Value).empty()) return;
        if (std::find(addFiles_.begin(), addFiles_.end(), Comparable(at.Value)) == addFiles_.end())
            Add(size_t(at.Line), Format("%s names \"%s\", which no Addfile line installs", key, at.Value.c_str()));
    }

    void Finish() {
        if (!Trim(licence_.Value).empty() && !lookup_(licence_.Value))
            Add(size_t(licence_.Line), "Licence names \"" + licence_.Value + "\", which is not in the payload");
        Installed(readMe_, "ReadMe");
        Installed(targetFile_, "TargetFile");
        if (!panel_) findings_.push_back({0, "no Panel object names a Bitmap: the window has no skin and no size"});
        for (const char* button : {"Back", "Forward", "Cancel"})
            if (!dressed_.count(button))
                findings_.push_back({0, Format("no Button block dresses the %s button", button)});
    }

    const std::vector<std::string>& lines_;
    const TFileLookup& lookup_;
    std::vector<TScriptFinding> findings_;
    std::vector<std::string> addFiles_;
    TValueAt licence_, readMe_, targetFile_;
    std::map<std::string, int> dressed_;
    std::string button_;
    bool panel_ = false;
};

}  // namespace

std::vector<TScriptFinding> CheckSetupScript(const std::vector<std::string>& lines, const TFileLookup& inWorkFolder) {
    return TChecker(lines, inWorkFolder).Run();
}

std::string FormatFinding(const std::string& fileName, const TScriptFinding& finding) {
    if (finding.Line == 0) return fileName + ": " + finding.Text;
    return fileName + ":" + std::to_string(finding.Line) + ": " + finding.Text;
}

}  // namespace zub::tool
