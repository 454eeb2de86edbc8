// The running program's account, read from its token.
#include <windows.h>
#include <sddl.h>

#include <vector>

#include "base/folder_access.h"
#include "base/handles_win.h"
#include "base/win32_error.h"

namespace zub {
namespace {

// Whether the token's Administrators group is enabled; an unelevated token of
// an administrator carries the group for denying only, which does not count.
bool AdministratorsEnabled() {
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) ||
        !CheckTokenMembership(nullptr, administrators, &member))
        RaiseLastWin32Error();
    return member != FALSE;
}

std::string UserSidText() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) RaiseLastWin32Error();
    DWORD needed = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &needed);
    std::vector<unsigned char> user(needed ? needed : 1);
    if (!GetTokenInformation(token.get(), TokenUser, user.data(), DWORD(user.size()), &needed))
        RaiseLastWin32Error();
    char* text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) RaiseLastWin32Error();
    const LocalMemory owned(text);
    return text;
}

}  // namespace

TAccount CurrentAccount() { return {AdministratorsEnabled(), UserSidText()}; }

}  // namespace zub
