// The Setup.ini reader. Lines are used exactly as read: nothing is trimmed and
// every comparison is exact and case-sensitive, so a script behaves the same
// in every setup built from it. Each object kind has a key table that drives
// its line handler; a key the table does not list is ignored.
#include "formats/setup_script.h"

#include <cstddef>
#include <optional>

#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {

std::string KeyOf(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string() : std::string(line.substr(0, eq));
}

std::string ValueOf(std::string_view line) {
    const size_t eq = line.find('=');
    return std::string(eq == std::string_view::npos ? line : line.substr(eq + 1));
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hex digits give a 32-bit pattern; leading zeros are allowed, more than 32
// significant bits are not.
std::optional<uint32_t> ParseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0 || value > 0x0FFFFFFFu) return std::nullopt;
        value = value << 4 | static_cast<uint32_t>(d);
    }
    return value;
}

// Decimal digits up to `limit`, the magnitude the sign allows.
std::optional<uint32_t> ParseDecimal(std::string_view digits, uint32_t limit) {
    if (digits.empty()) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        const uint32_t d = static_cast<uint32_t>(c - '0');
        if (value > (limit - d) / 10) return std::nullopt;
        value = value * 10 + d;
    }
    return value;
}

// The length of a hexadecimal prefix at the start of `text`, 0 when none.
size_t HexPrefixLength(std::string_view text) {
    if (StartsWith(text, "0x") || StartsWith(text, "0X")) return 2;
    if (StartsWith(text, "$") || StartsWith(text, "x") || StartsWith(text, "X")) return 1;
    return 0;
}

std::optional<int32_t> ParseInt(std::string_view text) {
    size_t pos = text.find_first_not_of(' ');
    if (pos == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
    const std::string_view rest = text.substr(pos);
    if (const size_t prefix = HexPrefixLength(rest)) {
        // A sign before hex negates the 32-bit pattern, so "-$10" is -16 and
        // "$FFFFFFFF" (all bits) is -1, as colour values are often written.
        const std::optional<uint32_t> bits = ParseHex(rest.substr(prefix));
        if (!bits) return std::nullopt;
        return static_cast<int32_t>(negative ? 0u - *bits : *bits);
    }
    const std::optional<uint32_t> magnitude = ParseDecimal(rest, negative ? 0x80000000u : 0x7FFFFFFFu);
    if (!magnitude) return std::nullopt;
    return static_cast<int32_t>(negative ? 0u - *magnitude : *magnitude);
}

}  // namespace

int32_t StrToInt(std::string_view text) {
    if (const std::optional<int32_t> value = ParseInt(text)) return *value;
    // The runtime's own text (Windows-1252).
    throw Error(Format("'%s' ist kein g\xfcltiger Integerwert", std::string(text).c_str()));
}

TAddFile SplitAddFile(const std::string& value) {
    const size_t mark = value.find(kAddFileTargetMark);
    if (mark == std::string::npos) return {value, value};
    return {value.substr(0, mark), value.substr(mark + 1)};
}

std::vector<std::string> SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

namespace {

// The script's lines and the name its messages give it.
struct TScript {
    std::string FileName;
    std::vector<std::string> Lines;
};

// Line numbers in messages count from 1, as editors show them.
int LineNumber(size_t index) { return static_cast<int>(index + 1); }

bool Flag(const std::string& value) { return value == "1"; }

// One key an object kind knows, and what its value does to `Target`.
template <typename Target>
struct TKeyRule {
    const char* Key;
    TScriptValue Value;
    void (*Apply)(Target& target, const std::string& value, const std::string& workFolder);
};

// A key without effect: the value is not looked at.
template <typename Target>
void Ignore(Target&, const std::string&, const std::string&) {}

// The usual effects of a key: its text or flag into a field of the setup
// data, or a number or a work-folder file handed to a setter of the target.
template <std::string TSetupData::*Field>
void TextInto(TSetupData& data, const std::string& value, const std::string&) {
    data.*Field = value;
}
template <bool TSetupData::*Field>
void FlagInto(TSetupData& data, const std::string& value, const std::string&) {
    data.*Field = Flag(value);
}
template <typename Target, void (Target::*Set)(int32_t)>
void NumberTo(Target& target, const std::string& value, const std::string&) {
    (target.*Set)(StrToInt(value));
}
template <typename Target, void (Target::*Set)(const std::string&)>
void FileTo(Target& target, const std::string& value, const std::string& workFolder) {
    (target.*Set)(workFolder + value);
}

template <typename Target, size_t N>
void ApplyKey(const TKeyRule<Target> (&rules)[N], Target& target, const std::string& line,
              const std::string& workFolder) {
    const std::string key = KeyOf(line);
    for (const TKeyRule<Target>& rule : rules) {
        if (key == rule.Key) {
            rule.Apply(target, ValueOf(line), workFolder);
            return;
        }
    }
}

unsigned FontStyleOf(const std::string& word) {
    struct TStyleName {
        const char* Name;
        unsigned Style;
    };
    static const TStyleName kStyles[] = {
        {"Bold", fsBold}, {"Italic", fsItalic}, {"Underline", fsUnderline}, {"StrikeOut", fsStrikeOut}};
    for (const TStyleName& s : kStyles)
        if (word == s.Name) return s.Style;
    return 0;
}

using TSetupRule = TKeyRule<TSetupData>;
const TSetupRule kSetupKeys[] = {
    {"TargetFile", TScriptValue::Text, TextInto<&TSetupData::TargetFile>},
    {"Method", TScriptValue::Ignored, Ignore<TSetupData>},
    {"Description", TScriptValue::Ignored, Ignore<TSetupData>},
    {"Icon", TScriptValue::Ignored, Ignore<TSetupData>},
    {"Addfile", TScriptValue::WorkFolderFile,
     [](TSetupData& d, const std::string& v, const std::string&) { d.AddFiles.push_back(v); }},
    {"Encrypted", TScriptValue::Ignored, Ignore<TSetupData>},
    // Without effect, but a malformed number still stops the setup.
    {"AlphaColor", TScriptValue::Integer, [](TSetupData&, const std::string& v, const std::string&) { StrToInt(v); }},
    {"SetupName", TScriptValue::Ignored, Ignore<TSetupData>},
    {"ControlPanel", TScriptValue::Ignored, Ignore<TSetupData>},
    {"TextBoxColor", TScriptValue::Integer,
     [](TSetupData& d, const std::string& v, const std::string&) { d.TextBoxColor = StrToInt(v); }},
    {"Fontname", TScriptValue::Text,
     [](TSetupData& d, const std::string& v, const std::string&) { d.SetupFont.Name = v; }},
    {"Fontcolor", TScriptValue::Integer,
     [](TSetupData& d, const std::string& v, const std::string&) { d.SetupFont.Color = StrToInt(v); }},
    {"Fontheight", TScriptValue::Integer,
     [](TSetupData& d, const std::string& v, const std::string&) { d.SetupFont.Height = StrToInt(v); }},
    // One word only: the style is cleared, then at most one style is set.
    {"Fontstyle", TScriptValue::Text,
     [](TSetupData& d, const std::string& v, const std::string&) { d.SetupFont.Style = FontStyleOf(v); }},
    {"RazederodezTitle", TScriptValue::Text, TextInto<&TSetupData::RazederodezTitle>},
    {"Language", TScriptValue::Text, TextInto<&TSetupData::Language>},
    {"Licence", TScriptValue::Text, TextInto<&TSetupData::Licence>},
    {"Destination", TScriptValue::Text, TextInto<&TSetupData::Destination>},
    {"Folder", TScriptValue::Text, TextInto<&TSetupData::Folder>},
    {"ReadMe", TScriptValue::Text, TextInto<&TSetupData::ReadMe>},
    {"LaunchProg", TScriptValue::Flag, FlagInto<&TSetupData::LaunchProg>},
    {"DesktopIcon", TScriptValue::Flag, FlagInto<&TSetupData::DesktopIcon>},
    {"Version", TScriptValue::Text, TextInto<&TSetupData::Version>},
    {"Publisher", TScriptValue::Text, TextInto<&TSetupData::Publisher>},
    {"Website", TScriptValue::Text, TextInto<&TSetupData::Website>},
};

using TFormRule = TKeyRule<ISetupScriptTarget>;
const TFormRule kToolwebKeys[] = {
    {"Top", TScriptValue::Integer, NumberTo<ISetupScriptTarget, &ISetupScriptTarget::SetPageAreaTop>},
    {"Left", TScriptValue::Integer, NumberTo<ISetupScriptTarget, &ISetupScriptTarget::SetPageAreaLeft>},
    {"Width", TScriptValue::Integer, NumberTo<ISetupScriptTarget, &ISetupScriptTarget::SetPageAreaWidth>},
    {"Height", TScriptValue::Integer, NumberTo<ISetupScriptTarget, &ISetupScriptTarget::SetPageAreaHeight>},
    {"Name", TScriptValue::Ignored, Ignore<ISetupScriptTarget>},
    {"ZOrder", TScriptValue::Ignored, Ignore<ISetupScriptTarget>},
};

const TFormRule kPanelKeys[] = {
    {"Bitmap", TScriptValue::WorkFolderFile, FileTo<ISetupScriptTarget, &ISetupScriptTarget::SetPanelBitmap>},
    {"InvisibleColor", TScriptValue::Integer,
     NumberTo<ISetupScriptTarget, &ISetupScriptTarget::SetPanelInvisibleColor>},
    {"Name", TScriptValue::Ignored, Ignore<ISetupScriptTarget>},
};

using TButtonRule = TKeyRule<ISkinButtonTarget>;
const TButtonRule kButtonKeys[] = {
    {"Top", TScriptValue::Integer, NumberTo<ISkinButtonTarget, &ISkinButtonTarget::SetTop>},
    {"Left", TScriptValue::Integer, NumberTo<ISkinButtonTarget, &ISkinButtonTarget::SetLeft>},
    {"Mask", TScriptValue::WorkFolderFile, FileTo<ISkinButtonTarget, &ISkinButtonTarget::SetImageNormal>},
    {"Touched", TScriptValue::WorkFolderFile, FileTo<ISkinButtonTarget, &ISkinButtonTarget::SetImageOver>},
    {"Pressed", TScriptValue::WorkFolderFile, FileTo<ISkinButtonTarget, &ISkinButtonTarget::SetImagePressed>},
    {"Disabled", TScriptValue::WorkFolderFile, FileTo<ISkinButtonTarget, &ISkinButtonTarget::SetImageDisabled>},
    {"InvisibleColor", TScriptValue::Integer, NumberTo<ISkinButtonTarget, &ISkinButtonTarget::SetInvisibleColor>},
    {"Name", TScriptValue::Ignored, Ignore<ISkinButtonTarget>},
    {"Action", TScriptValue::Ignored, Ignore<ISkinButtonTarget>},
    {"Sound", TScriptValue::Ignored, Ignore<ISkinButtonTarget>},
    {"ZOrder", TScriptValue::Ignored, Ignore<ISkinButtonTarget>},
};

template <typename Target, size_t N>
std::optional<TScriptValue> ValueIn(const TKeyRule<Target> (&rules)[N], const std::string& key) {
    for (const TKeyRule<Target>& rule : rules)
        if (key == rule.Key) return rule.Value;
    return std::nullopt;
}

void ApplySetupKey(const std::string& line, ISetupScriptTarget& target) {
    TSetupData& data = target.SetupData();
    ApplyKey(kSetupKeys, data, line, data.WorkFolder);
}

void ApplyToolwebKey(const std::string& line, ISetupScriptTarget& target) {
    ApplyKey(kToolwebKeys, target, line, target.SetupData().WorkFolder);
}

void ApplyPanelKey(const std::string& line, ISetupScriptTarget& target) {
    ApplyKey(kPanelKeys, target, line, target.SetupData().WorkFolder);
}

void ApplyButtonKey(const std::string& line, ISkinButtonTarget& button, ISetupScriptTarget& target) {
    ApplyKey(kButtonKeys, button, line, target.SetupData().WorkFolder);
}

bool IsKnownKind(const std::string& kind) {
    for (const char* known : kScriptObjects)
        if (kind == known) return true;
    return false;
}

// Applies every line of each block to the target as its kind says, and stops
// at the first block the setup cannot read, naming the file and the 1-based
// line of its Object line.
class TScriptReader : public IScriptBlocks {
public:
    TScriptReader(const TScript& script, ISetupScriptTarget& target) : script_(script), target_(target) {}

    void Block(const TScriptBlock& block) override {
        for (size_t i = block.Object + 1; i < block.End; ++i) Apply(block, script_.Lines[i]);
        if (block.End == script_.Lines.size())
            throw Error(Format("%s, line %d: the block \"%s\" has no \"end\" line", script_.FileName.c_str(),
                               LineNumber(block.Object), script_.Lines[block.Object].c_str()));
    }

    void NoSelector(size_t objectLine) override {
        throw Error(Format("%s, line %d: the block \"%s\" ends before line %d, which names its button",
                           script_.FileName.c_str(), LineNumber(objectLine), script_.Lines[objectLine].c_str(),
                           LineNumber(objectLine + kButtonSelectorOffset)));
    }

private:
    void Apply(const TScriptBlock& block, const std::string& line) {
        if (block.Kind == kSetupObject)
            ApplySetupKey(line, target_);
        else if (block.Kind == kToolwebObject)
            ApplyToolwebKey(line, target_);
        else if (block.Kind == kPanelObject)
            ApplyPanelKey(line, target_);
        else if (block.Kind == kButtonObject)
            ApplyButtonKey(line, target_.Button(*block.Button), target_);
    }

    const TScript& script_;
    ISetupScriptTarget& target_;
};

TScript LoadScript(const std::string& path) {
    if (!fs::FileExists(path)) throw Error(Format("Setup script not found (%s)", path.c_str()));
    fs::File file = fs::File::OpenRead(path);
    if (!file.IsOpen()) throw Error(Format("Unable to open the setup script (%s)", path.c_str()));
    std::string text(static_cast<size_t>(file.Size()), '\0');
    text.resize(text.empty() ? 0 : file.Read(text.data(), text.size()));
    return TScript{ExtractFileName(path), SplitLines(text)};
}

}  // namespace

std::optional<TButtonKind> ButtonNamed(std::string_view name) {
    struct TButtonName {
        const char* Name;
        TButtonKind Kind;
    };
    static const TButtonName kButtons[] = {
        {"Cancel", TButtonKind::Cancel}, {"Forward", TButtonKind::Forward}, {"Back", TButtonKind::Back}};
    for (const TButtonName& b : kButtons)
        if (name == b.Name) return b.Kind;
    return std::nullopt;
}

std::optional<TScriptValue> ScriptKeyValue(std::string_view object, const std::string& key) {
    if (object == kSetupObject) return ValueIn(kSetupKeys, key);
    if (object == kToolwebObject) return ValueIn(kToolwebKeys, key);
    if (object == kPanelObject) return ValueIn(kPanelKeys, key);
    if (object == kButtonObject) return ValueIn(kButtonKeys, key);
    return std::nullopt;
}

void WalkScriptBlocks(const std::vector<std::string>& lines, IScriptBlocks& blocks) {
    for (size_t i = 1; i < lines.size(); ++i) {
        if (KeyOf(lines[i]) != "Object") continue;
        TScriptBlock block;
        block.Object = i;
        block.Kind = ValueOf(lines[i]);
        if (!IsKnownKind(block.Kind)) {
            blocks.NoBlock(i, block.Kind);
            continue;
        }
        if (block.Kind == kButtonObject) {
            const size_t selector = i + kButtonSelectorOffset;
            if (selector >= lines.size()) {
                blocks.NoSelector(i);
                continue;
            }
            block.Button = ButtonNamed(ValueOf(lines[selector]));
            if (!block.Button) {
                blocks.NoBlock(i, block.Kind);
                continue;
            }
        }
        for (block.End = i + 1; block.End < lines.size() && lines[block.End] != "end";) ++block.End;
        blocks.Block(block);
        i = block.End;
    }
}

void ReadSetupScript(const std::string& path, ISetupScriptTarget& target) {
    const TScript script = LoadScript(path);
    TScriptReader reader(script, target);
    WalkScriptBlocks(script.Lines, reader);
}

}  // namespace zub
