// Pictures of the screen for people to look at (the demo, the docs).
#pragma once

#include <windows.h>

#include <string>

namespace zub::e2e {

// Writes the screen's pixels inside `area` as a 24-bit BMP file; false when
// the file cannot be written.
bool SaveScreen(const RECT& area, const std::string& path);

}  // namespace zub::e2e
