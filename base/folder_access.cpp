#include "base/folder_access.h"

#include "base/error.h"
#include "base/strings.h"

namespace zub {
namespace {

// Full control for a trustee, handed on to sub-folders (CI) and files (OI).
std::string FullControl(const std::string& trustee) { return "(A;OICI;FA;;;" + trustee + ")"; }

// "S-1-" followed by numbers, one dash between each.
bool IsSidText(const std::string& sid) {
    if (!StartsWith(sid, "S-1-") || sid.size() == 4) return false;
    char previous = '-';
    for (size_t i = 4; i < sid.size(); ++i) {
        const char c = sid[i];
        if (c == '-' ? previous == '-' : (c < '0' || c > '9')) return false;
        previous = c;
    }
    return previous != '-';
}

}  // namespace

std::string PrivateFolderAccess(const TAccount& account) {
    // SY and BA are SDDL's names of SYSTEM and the Administrators group.
    if (account.Elevated) return "O:BAD:P" + FullControl("SY") + FullControl("BA");
    if (!IsSidText(account.UserSid)) throw Error("No private folder for the account \"" + account.UserSid + "\"");
    return "O:" + account.UserSid + "D:P" + FullControl(account.UserSid);
}

std::string ProgramFilesAccess() {
    // FRFX: read and execute (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE); BU: the Users group.
    return "O:BAD:P" + FullControl("SY") + FullControl("BA") + "(A;OICI;FRFX;;;BU)";
}

}  // namespace zub
