// Reader of Setup.ini, the object script that configures the setup window.
// The reader is portable: it applies what it reads to an ISetupScriptTarget,
// which the wizard form implements and tests can record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/setup_data.h"

namespace zub {

enum class TButtonKind { Back, Forward, Cancel };

// What a Button block dresses: one image button of the window.
class ISkinButtonTarget {
public:
    virtual ~ISkinButtonTarget() = default;
    virtual void SetTop(int32_t top) = 0;
    virtual void SetLeft(int32_t left) = 0;
    virtual void SetImageNormal(const std::string& fileName) = 0;
    virtual void SetImageOver(const std::string& fileName) = 0;
    virtual void SetImagePressed(const std::string& fileName) = 0;
    virtual void SetImageDisabled(const std::string& fileName) = 0;
    virtual void SetInvisibleColor(int32_t color) = 0;
};

class ISetupScriptTarget {
public:
    virtual ~ISetupScriptTarget() = default;
    // The setup data; its WorkFolder prefixes the file names relative to it.
    virtual TSetupData& SetupData() = 0;
    // Bounds of the page area (the Toolweb object).
    virtual void SetPageAreaTop(int32_t value) = 0;
    virtual void SetPageAreaLeft(int32_t value) = 0;
    virtual void SetPageAreaWidth(int32_t value) = 0;
    virtual void SetPageAreaHeight(int32_t value) = 0;
    // The window's skin graphic (the Panel object).
    virtual void SetPanelBitmap(const std::string& fileName) = 0;
    virtual void SetPanelInvisibleColor(int32_t color) = 0;
    virtual ISkinButtonTarget& Button(TButtonKind kind) = 0;
};

// A target that keeps only the setup data, for a run without a window: the
// page area, the skin and the buttons are read and checked, then dropped.
class TSetupDataTarget : public ISetupScriptTarget, private ISkinButtonTarget {
public:
    TSetupData Data;

    TSetupData& SetupData() override { return Data; }
    void SetPageAreaTop(int32_t) override {}
    void SetPageAreaLeft(int32_t) override {}
    void SetPageAreaWidth(int32_t) override {}
    void SetPageAreaHeight(int32_t) override {}
    void SetPanelBitmap(const std::string&) override {}
    void SetPanelInvisibleColor(int32_t) override {}
    ISkinButtonTarget& Button(TButtonKind) override { return *this; }

private:
    void SetTop(int32_t) override {}
    void SetLeft(int32_t) override {}
    void SetImageNormal(const std::string&) override {}
    void SetImageOver(const std::string&) override {}
    void SetImagePressed(const std::string&) override {}
    void SetImageDisabled(const std::string&) override {}
    void SetInvisibleColor(int32_t) override {}
};

// The object kinds the reader knows; "Object=" lines name them exactly.
inline constexpr char kSetupObject[] = "Setup";
inline constexpr char kToolwebObject[] = "Toolweb";
inline constexpr char kPanelObject[] = "Panel";
inline constexpr char kButtonObject[] = "Button";
inline constexpr const char* kScriptObjects[] = {kSetupObject, kToolwebObject, kPanelObject, kButtonObject};

// What a key's value is to the reader.
enum class TScriptValue {
    Text,
    Integer,         // StrToInt: a malformed one stops the setup
    Flag,            // true exactly for "1"
    WorkFolderFile,  // a file in the work folder, named relative to it
    Ignored,         // known, without effect
};

// The value kind of `key` in an object of kind `object`, from the tables the
// reader reads with; nothing for a key (or object) the reader ignores.
std::optional<TScriptValue> ScriptKeyValue(std::string_view object, const std::string& key);

// A Button block names its button by the value of the line this many lines
// after its Object line (the authoring tool writes Name, then Action).
inline constexpr size_t kButtonSelectorOffset = 2;

// The button "Back", "Forward" or "Cancel" names (exactly); nothing otherwise.
std::optional<TButtonKind> ButtonNamed(std::string_view name);

std::string KeyOf(std::string_view line);
std::string ValueOf(std::string_view line);

// Integer values: optional leading spaces, optional sign, decimal digits, or
// hexadecimal after "$", "x", "X", "0x", "0X". Hex digits give the 32-bit
// pattern ("$FFFFFFFF" is -1) and a sign before them negates it ("-$10" is -16).
// Raises zub::Error "'%s' ist kein gültiger Integerwert" when malformed.
int32_t StrToInt(std::string_view text);

// An Addfile value: the file in the work folder and where it goes in the
// destination. "Additional\app\x.dll>plugins\x.dll" copies the first to
// the second; without ">" (which no Windows file name holds) the target is
// the source, relative to the destination.
struct TAddFile {
    std::string Source;
    std::string Target;
};
inline constexpr char kAddFileTargetMark = '>';
TAddFile SplitAddFile(const std::string& value);

// Splits text into lines at CR, LF or CR LF; a NUL byte ends the text.
std::vector<std::string> SplitLines(std::string_view text);

// One block of a script as the setup reads it: its Object line (an index
// into the lines), its kind, the button a Button block dresses, and its line
// "end", which is the number of lines when the block has none.
struct TScriptBlock {
    size_t Object = 0;
    std::string Kind;
    std::optional<TButtonKind> Button;
    size_t End = 0;
};

// What a walk over a script's blocks meets, line by line in order.
class IScriptBlocks {
public:
    virtual ~IScriptBlocks() = default;
    // A block the setup reads. One without "end" is the last: the setup stops there.
    virtual void Block(const TScriptBlock& block) = 0;
    // An Object line that starts no block: an unknown kind, or a Button
    // block whose selector line names no button. The walk goes on with the
    // next line.
    virtual void NoBlock(size_t objectLine, const std::string& kind) {}
    // A Button block that ends before its selector line: the setup stops
    // with an error; the walk goes on with the next line.
    virtual void NoSelector(size_t objectLine) = 0;
};

// The setup's walk: from line 1 (line 0 is the authoring tool's header and is
// never looked at), every line whose key is "Object" and whose value is a
// known kind starts a block, which runs to the next line that is exactly
// "end"; the walk goes on after that line. A Button block names its button
// by the value of its selector line (kButtonSelectorOffset), whatever that
// line's key.
void WalkScriptBlocks(const std::vector<std::string>& lines, IScriptBlocks& blocks);

// Reads the script file and applies it to the target. Raises zub::Error when
// the file cannot be read, an integer is malformed, or a block has no "end";
// the block messages name the file and the 1-based line of its Object line.
void ReadSetupScript(const std::string& path, ISetupScriptTarget& target);

}  // namespace zub
