// Who may use the folders the elevated setup makes: their security
// descriptors, written as SDDL text in this one place. Each is protected
// from inheritance and handed on to everything made below the folder.
#pragma once

#include <string>

namespace zub {

// The account the program runs as.
struct TAccount {
    // The token's Administrators group is enabled: the program runs elevated.
    bool Elevated = false;
    // The user's SID as text ("S-1-5-21-...").
    std::string UserSid;
};

// The account of the running program, from its token. Raises the
// platform's last-error exception when the token cannot be read.
TAccount CurrentAccount();

// The work folder: elevated, SYSTEM and Administrators only, owned by
// Administrators (never the user's own SID, which the same user's unelevated
// programs share); not elevated, the user only. Raises when the SID is not
// one, which would otherwise be spliced into the descriptor.
std::string PrivateFolderAccess(const TAccount& account);

// A folder made for an installation outside the program files folder gets
// what that folder gives: SYSTEM and Administrators full control, Users read
// and execute, owned by Administrators.
std::string ProgramFilesAccess();

}  // namespace zub
