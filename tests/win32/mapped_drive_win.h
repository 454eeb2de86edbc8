// A drive letter of its own for a test: the first free one of M: to Y:,
// mapped to a folder (DefineDosDevice) until the object goes.
#pragma once

#include <windows.h>

#include <string>

namespace zub::test {

class TMappedDrive {
public:
    explicit TMappedDrive(const std::string& folder) {
        const DWORD drives = GetLogicalDrives();
        for (char c = 'M'; c <= 'Y' && !letter_; ++c)
            if (!(drives & (1u << (c - 'A')))) letter_ = c;
        mapped_ = letter_ && DefineDosDeviceA(0, Device().c_str(), folder.c_str());
        if (!mapped_) letter_ = 0;
    }
    ~TMappedDrive() { Remove(); }
    TMappedDrive(const TMappedDrive&) = delete;
    TMappedDrive& operator=(const TMappedDrive&) = delete;

    // The letter, 0 when none was free or the mapping failed.
    char Letter() const { return letter_; }
    // "M:"
    std::string Device() const { return std::string(1, letter_) + ":"; }
    // Whether the system lists the drive among its drives.
    bool Listed() const { return letter_ && (GetLogicalDrives() & (1u << (letter_ - 'A'))); }
    // Takes the mapping away before the object goes.
    void Remove() {
        if (mapped_) DefineDosDeviceA(DDD_REMOVE_DEFINITION, Device().c_str(), nullptr);
        mapped_ = false;
    }

private:
    char letter_ = 0;
    bool mapped_ = false;
};

}  // namespace zub::test
