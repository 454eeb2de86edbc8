// Test setups: a project written file by file or a staged project copied and
// edited, made into a payload and written into a copy of the stub.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zub::e2e {

using TBytes = std::vector<unsigned char>;
using TPicture = std::vector<std::vector<uint32_t>>;  // rows of 0xRRGGBB

// A project folder, made empty, with the payload the authoring tool makes of it.
class TTestProject {
public:
    explicit TTestProject(std::string folder);

    const std::string& Path() const { return folder_; }
    // Writes a file of the project, making its folders.
    void Write(const std::string& relative, const std::string& text) const;
    void WritePicture(const std::string& relative, const TPicture& rows) const;
    // The wizard's skin: a panel of 520 x 440 with a page area, and the image
    // buttons Back, Forward and Cancel, each with its four states in colours
    // of their own. Returns its Setup.ini blocks.
    std::string WriteWizardSkin() const;
    // The payload of the project as BuildPayload makes it.
    TBytes Payload() const;

private:
    std::string folder_;
};

// A payload with just these entries (name, contents), for payloads the
// builder would refuse to make; `scratch` is a file it may use.
TBytes PayloadOf(const std::vector<std::pair<std::string, std::string>>& entries, const std::string& scratch);

// Writes the setup `exe` from `stub` and `payload`; returns `exe`.
std::string MakeSetup(const std::string& stub, const std::string& exe, const TBytes& payload);

// The setup of a copy of a staged project (folder + "\project") with
// `uninstaller` put in, its Setup.ini changed by `edit` and `addFiles` adding
// to the copy; written to `exe`, which is returned.
using TIniEdit = std::function<std::string(std::string)>;
std::string MakeProjectSetup(const std::string& project, const std::string& uninstaller, const std::string& stub,
                             const std::string& folder, const std::string& exe, const TIniEdit& edit,
                             const std::function<void(const std::string&)>& addFiles = nullptr);

// Edits of a Setup.ini text: `inserted` after the first `anchor`, the first
// `from` replaced by `to` (by "" to take it out). The text is returned
// unchanged when it has no such place.
std::string InsertAfter(std::string text, const std::string& anchor, const std::string& inserted);
std::string Replace(std::string text, const std::string& from, const std::string& to);
inline std::string Unchanged(std::string text) { return text; }

}  // namespace zub::e2e
