// What the directory tree needs of the machine: drives, volumes, folder
// enumeration, attributes, the current directory, the critical-error mode,
// the shell's icons and names, and the text rules of the user's locale.
// TWin32DirMachine (dir_machine_win.h) is the real one; tests use a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zub {

// File attribute bits as the platform reports them.
enum : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};

// Drive types as the platform reports them for a drive root.
enum : int {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCDRom = 5,
    kDriveRamDisk = 6,
};

// The error-mode flag that keeps the platform's critical-error dialogs
// (such as "no disk in drive") from showing.
constexpr unsigned kFailCriticalErrors = 1;

// One entry of a folder: its long name and attributes.
struct TSearchEntry {
    std::string Name;
    uint32_t Attributes = 0;
};

// An open enumeration of a folder; closed when destroyed.
class TFolderSearch {
public:
    virtual ~TFolderSearch() = default;
    // The next entry; false when there is none.
    virtual bool Next(TSearchEntry& entry) = 0;
};

class TShellFolder;

// An item of a shell folder (its item-ID list relative to that folder).
class TShellItem {
public:
    virtual ~TShellItem() = default;
};

// A folder of the shell's namespace.
class TShellFolder {
public:
    virtual ~TShellFolder() = default;
    // The item a display name names inside this folder, or null.
    virtual std::unique_ptr<TShellItem> ParseName(const std::string& name) = 0;
    // The item as a folder of its own, or null.
    virtual std::shared_ptr<TShellFolder> BindToFolder(const TShellItem& item) = 0;
    // The item's attribute bits among `mask`; false when the query fails.
    virtual bool Attributes(const TShellItem& item, uint32_t mask, uint32_t& attributes) = 0;
};

// The shell's attribute bit of a shared folder.
constexpr uint32_t kShellAttrShare = 0x00020000;

class TDirMachine {
public:
    virtual ~TDirMachine() = default;

    // Bit set of the existing drive letters, bit 0 = A:.
    virtual uint32_t LogicalDrives() = 0;
    // The type of a drive root ("C:\"), one of the kDrive values.
    virtual int DriveType(const std::string& root) = 0;
    // The volume label (at most 23 characters) and serial number of a drive
    // root; false when the volume cannot be read.
    virtual bool VolumeInformation(const std::string& root, std::string& label, uint32_t& serial) = 0;

    // Starts an enumeration with a pattern such as "C:\Apps\*.*" and delivers
    // the first entry; null when there is none or the folder cannot be read.
    virtual std::unique_ptr<TFolderSearch> FindFirst(const std::string& pattern, TSearchEntry& first) = 0;
    // The attributes of an existing path; false when it does not exist.
    virtual bool PathAttributes(const std::string& path, uint32_t& attributes) = 0;

    // The process's current directory and the Windows directory; "" when
    // they cannot be had.
    virtual std::string CurrentDirectory() = 0;
    virtual std::string WindowsDirectory() = 0;
    // Sets the critical-error mode and returns the previous one.
    virtual unsigned SetErrorMode(unsigned mode) = 0;

    // The shell's small icon index (closed or open) of a path in the system
    // image list, and the shell's display name of a path ("" when none).
    virtual int ShellIcon(const std::string& path, bool open) = 0;
    virtual std::string ShellDisplayName(const std::string& path) = 0;
    // The shell's folder of the drives ("My Computer"), or null.
    virtual std::shared_ptr<TShellFolder> DrivesFolder() = 0;

    // Text rules of the user's locale: upper and lower case, the ignore-case
    // comparison used to sort folder names, the case-sensitive comparison
    // used to re-sort captions, and case-insensitive equality of paths.
    virtual std::string UpperCase(const std::string& text) = 0;
    virtual std::string LowerCase(const std::string& text) = 0;
    virtual int CompareNoCase(const std::string& a, const std::string& b) = 0;
    virtual int CompareCase(const std::string& a, const std::string& b) = 0;
    virtual bool SameText(const std::string& a, const std::string& b) = 0;
};

// Switches the critical-error dialogs off for its lifetime, then puts the
// previous mode back, also when an error leaves the scope.
class TCriticalErrorsOff {
public:
    explicit TCriticalErrorsOff(TDirMachine& machine)
        : machine_(machine), previous_(machine.SetErrorMode(kFailCriticalErrors)) {}
    ~TCriticalErrorsOff() { machine_.SetErrorMode(previous_); }
    TCriticalErrorsOff(const TCriticalErrorsOff&) = delete;
    TCriticalErrorsOff& operator=(const TCriticalErrorsOff&) = delete;

private:
    TDirMachine& machine_;
    unsigned previous_;
};

}  // namespace zub
