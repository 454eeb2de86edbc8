// A one-line progress bar for long work, drawn on stderr only when it is a
// terminal, so that logs and pipes get no control characters.
#pragma once

#include <ostream>
#include <string>

namespace zub::tool {

class TProgressBar {
public:
    TProgressBar(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
    ~TProgressBar() { Finish(); }
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    // Step `step` of `steps` (for example the entry being extracted), with
    // `percent` of the step done and a label.
    void Show(int step, int steps, int percent, const std::string& label);
    // Clears the line.
    void Finish();

private:
    std::ostream& out_;
    bool enabled_;
    bool drawn_ = false;
    std::string last_;
};

// The bar's text for a fraction of 0..1 in `width` cells: "[#####     ]".
std::string ProgressCells(double fraction, int width);

}  // namespace zub::tool
