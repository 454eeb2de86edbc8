#include "tests/e2e/payload_resource_win.h"

#include <windows.h>

#include "archive/payload_layout.h"
#include "base/error.h"
#include "base/win32_error.h"

namespace zub::e2e {

void MakeSetupFromStub(const std::string& stub, const std::string& target, const std::vector<unsigned char>& payload) {
    if (!CopyFileA(stub.c_str(), target.c_str(), FALSE)) RaiseLastWin32Error();
    if (payload.empty()) return;
    HANDLE update = BeginUpdateResourceA(target.c_str(), FALSE);
    if (!update) RaiseLastWin32Error();
    if (!UpdateResourceA(update, RT_RCDATA, kPayloadResourceName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                         const_cast<unsigned char*>(payload.data()), static_cast<DWORD>(payload.size()))) {
        EndUpdateResourceA(update, TRUE);
        RaiseLastWin32Error();
    }
    if (!EndUpdateResourceA(update, FALSE)) RaiseLastWin32Error();
}

}  // namespace zub::e2e
