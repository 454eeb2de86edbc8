// What an end-to-end test reads back from the machine: its own folder with
// the temporary folder the setups get, files and trees, and the places an
// installation uses (destination, Start-menu folder, desktop shortcut,
// uninstall entry). Shortcuts and registry values are read with the helpers
// of the Wine tests.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "shell/temp_folder.h"
#include "tests/win32/link_reader_win.h"
#include "tests/win32/registry_test_util.h"

namespace zub::e2e {

// The file's bytes as text; raises when it cannot be read.
std::string ReadText(const std::string& path);
// The same, "" when there is no such file.
std::string TextOf(const std::string& path);
// Writes the file, making its folders.
void WriteText(const std::string& path, const std::string& text);
void CopyTree(const std::string& from, const std::string& to);
// Every file below `folder` by its path relative to it, with its contents.
std::map<std::string, std::string> TreeOf(const std::string& folder);
// The names in a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);
// Removes a folder tree, trying again while a process that is ending (the
// shell, an uninstaller's clean-up copy) still holds something in it; false
// when it stays.
bool RemoveTree(const std::string& folder, DWORD timeoutMs = 5000);

// A fresh folder of its own for a test in the temporary directory (a
// TTempFolder), and in it the temporary folder of the setups the test starts;
// at the end the test expects it removed, once the processes that held
// something in it have let go.
class TTestFolder {
public:
    TTestFolder();
    ~TTestFolder();

    const std::string& Path() const { return path_; }  // without a trailing backslash
    const std::string& Temp() const { return temp_; }  // with one, as TMP is set
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }
    // The setups' work folders left in Temp().
    std::vector<std::string> WorkFolders() const;

private:
    TTempFolder folder_;
    std::string path_, temp_;
};

// The places an installation of `title` uses, and what is found there. The
// destination defaults to the program-files folder's `title`.
class TInstallation {
public:
    explicit TInstallation(const std::string& title, const std::string& destination = "");

    const std::string Title, Destination, ProgramFolder, DesktopLink, Key;

    // Removes the installation's places; false when something stays.
    bool Remove() const;
    std::string In(const std::string& relative) const { return Destination + "\\" + relative; }
    std::string Log() const;  // the destination's setup.log, "" when there is none
    bool EntryExists() const;
    std::map<std::string, test::TRegValue> Entry() const;
    // A text value of the entry; "(none)" when it has no such value.
    std::string EntryText(const std::string& name) const;
    // Runs the entry's command `value` with `arguments` after it, as the list
    // of installed programs and deployment tools run it; its exit code.
    DWORD RunEntry(const std::string& value = "UninstallString", const std::string& arguments = " /S") const;
};

// The same places for a test: whatever of them exists is removed when this is
// made and again when it goes.
class TFreshInstallation : public TInstallation {
public:
    explicit TFreshInstallation(const std::string& title, const std::string& destination = "");
    ~TFreshInstallation();
    TFreshInstallation(const TFreshInstallation&) = delete;
    TFreshInstallation& operator=(const TFreshInstallation&) = delete;
};

// The file in which the demo application records the folder it was started
// in, named for the programs started while this lives.
class TLaunchRecord {
public:
    explicit TLaunchRecord(std::string path);
    ~TLaunchRecord();
    TLaunchRecord(const TLaunchRecord&) = delete;
    TLaunchRecord& operator=(const TLaunchRecord&) = delete;

    const std::string& Path() const { return path_; }
    bool Exists() const;

private:
    std::string path_;
};

}  // namespace zub::e2e
