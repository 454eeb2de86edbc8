// When and how the setup tells the user that it is unpacking its files at
// start-up: the rules of the progress window, apart from the window itself.
#pragma once

#include <cstdint>
#include <string>

namespace zub {

// The window appears once the program has run this long without the
// unpacking being done; showing it takes a little longer again, and the user
// should see it within about 0.4 s of the start.
constexpr int64_t kUnpackFeedbackDelayMs = 250;
// Payloads with less to write than this are done too soon to need a window.
constexpr int64_t kUnpackFeedbackMinBytes = 2 * 1024 * 1024;
// Near its end the unpacking is better left to finish than announced.
constexpr int kUnpackFeedbackLastPercent = 90;

// Whether the window should show now (it stays once shown).
bool UnpackFeedbackWanted(int64_t elapsedMs, int64_t totalBytes, int percent);

// "Unpacking setup files... 42%", in German when `german`.
std::string UnpackFeedbackText(bool german, int percent);

}  // namespace zub
