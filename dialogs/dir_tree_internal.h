// What the directory tree's source files share: path and drive helpers.
#pragma once

#include <string>

#include "dialogs/dir_tree.h"

namespace zub {
namespace dirtree {

inline std::string WithBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

inline std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

// 0 for A: to 25 for Z:, -1 for anything else.
inline int LetterIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

// The member of a platform drive type; false for types without one
// (no root directory, or a value above 6).
inline bool DriveTypeMember(int type, TDriveType& member) {
    switch (type) {
        case kDriveUnknown: member = TDriveType::drtUnknown; return true;
        case kDriveRemovable: member = TDriveType::drtRemovable; return true;
        case kDriveFixed: member = TDriveType::drtFixed; return true;
        case kDriveRemote: member = TDriveType::drtRemote; return true;
        case kDriveCDRom: member = TDriveType::drtCDRom; return true;
        case kDriveRamDisk: member = TDriveType::drtRamDisk; return true;
        default: return false;
    }
}

// Drives whose folders are probed when their node is made: fixed, network
// and RAM disks (and types the platform does not name); removable and CD-ROM
// drives, and those it cannot tell, are left unread.
inline bool ProbedDriveType(int type) { return type >= kDriveFixed && type != kDriveCDRom; }

// The last component of a folder path ("C:\Apps\Tools\" -> "Tools").
inline std::string LastComponent(const std::string& path) {
    std::string trimmed = path;
    if (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    size_t slash = trimmed.rfind('\\');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

}  // namespace dirtree
}  // namespace zub
