#include "skin/push_button_accessible_win.h"

#include <oleacc.h>

namespace zub {
namespace {

// IAccessible, spelled out so that no import library is needed for it.
const GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

using TCreateProxy = HRESULT(WINAPI*)(HWND, LPCWSTR, LONG, REFIID, void**);
using TResultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

struct TOleAcc {
    TCreateProxy CreateProxy = nullptr;
    TResultFromObject ResultFromObject = nullptr;
};

template <typename T>
T Function(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Wine exports the proxy function as a stub that ends the process when called.
bool IsWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Loaded once and kept: the objects handed out run its code for as long as
// their clients hold them. The setup restricts the search to the system folder.
const TOleAcc& OleAcc() {
    static const TOleAcc functions = [] {
        TOleAcc f;
        if (IsWine()) return f;
        if (HMODULE module = LoadLibraryA("oleacc.dll")) {
            f.CreateProxy = Function<TCreateProxy>(module, "CreateStdAccessibleProxyW");
            f.ResultFromObject = Function<TResultFromObject>(module, "LresultFromObject");
        }
        return f;
    }();
    return functions;
}

}  // namespace

LRESULT PushButtonAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
    const TOleAcc& oleAcc = OleAcc();
    if (!oleAcc.CreateProxy || !oleAcc.ResultFromObject) return 0;
    IUnknown* object = nullptr;
    if (FAILED(oleAcc.CreateProxy(window, L"Button", OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&object))) ||
        !object)
        return 0;
    // The result holds its own reference to the object.
    const LRESULT result = oleAcc.ResultFromObject(kIAccessible, wParam, object);
    object->Release();
    return result > 0 ? result : 0;
}

}  // namespace zub
