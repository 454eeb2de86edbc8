#include "setup/unpack_feedback.h"

namespace zub {

bool UnpackFeedbackWanted(int64_t elapsedMs, int64_t totalBytes, int percent) {
    return elapsedMs >= kUnpackFeedbackDelayMs && totalBytes >= kUnpackFeedbackMinBytes &&
           percent < kUnpackFeedbackLastPercent;
}

std::string UnpackFeedbackText(bool german, int percent) {
    return (german ? "Setup-Dateien werden entpackt... " : "Unpacking setup files... ") + std::to_string(percent) +
           "%";
}

}  // namespace zub
