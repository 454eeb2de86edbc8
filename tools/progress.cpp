#include "tools/progress.h"

#include <algorithm>

namespace zub::tool {

std::string ProgressCells(double fraction, int width) {
    const int filled = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * width + 0.5);
    return "[" + std::string(size_t(filled), '#') + std::string(size_t(width - filled), ' ') + "]";
}

void TProgressBar::Show(int step, int steps, int percent, const std::string& label) {
    if (!enabled_ || steps <= 0) return;
    const double fraction = (std::max(step - 1, 0) + std::clamp(percent, 0, 100) / 100.0) / steps;
    std::string line = ProgressCells(fraction, 30) + " " + std::to_string(std::min(step, steps)) + "/" +
                       std::to_string(steps) + " " + label.substr(0, 40);
    if (line == last_) return;  // redraw only what changed
    out_ << "\r" << line << std::string(last_.size() > line.size() ? last_.size() - line.size() : 0, ' ') << std::flush;
    last_ = line;
    drawn_ = true;
}

void TProgressBar::Finish() {
    if (!drawn_) return;
    out_ << "\r" << std::string(last_.size(), ' ') << "\r" << std::flush;
    drawn_ = false;
    last_.clear();
}

}  // namespace zub::tool
