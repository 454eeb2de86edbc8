// What a screen reader learns of an image button: the system's standard
// accessible object for a push button, made over the button's own window, so
// that its window text is read as its name and its enabled state as the
// button's. oleacc.dll is loaded only when a client first asks.
#pragma once

#include <windows.h>

namespace zub {

// The answer to WM_GETOBJECT: for OBJID_CLIENT the push button's accessible
// object; 0 for any other object, or when the system offers none (the
// caller then hands the message to the default window procedure). Under Wine,
// which lacks the proxy, there is none.
LRESULT PushButtonAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace zub
