// Pictures of the screen for people to look at (the demo, the docs, the
// uninstaller's boxes), and single pixels for tests.
#pragma once

#include <windows.h>

#include <string>

namespace zub::e2e {

RECT FullScreen();
COLORREF ScreenPixel(POINT p);

// Has `window` (null: the whole screen) repaint and waits until the picture
// inside `area` stays the same from one look to the next: the other process
// has drawn what it was told to. False when it kept changing.
bool WaitForStillPicture(HWND window, const RECT& area, DWORD timeoutMs = 3000);

// Writes the screen's pixels inside `area` as a 24-bit BMP file, once they
// are still; false when the file cannot be written.
bool SaveScreen(const RECT& area, const std::string& path, HWND paintedBy = nullptr);

}  // namespace zub::e2e
