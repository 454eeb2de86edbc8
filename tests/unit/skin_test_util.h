// Helpers of the skin tests: fixture paths and small pictures from text.
#pragma once

#include <string>
#include <vector>

#include "base/strings.h"
#include "skin/bitmap32.h"

namespace zub::test {

// The folder of the committed picture fixtures (tests/data/skin/).
inline std::string SkinDataFolder() {
    std::string here = ExtractFilePath(__FILE__);
    return here + "../data/skin/";
}

// One row per string: '#' an opaque black pixel, '.' the key colour
// (magenta, alpha 0 once keyed), 'r' pure red, 'q' red 254.
inline void PictureFromText(TBitmap32& bitmap, const std::vector<std::string>& rows) {
    bitmap.SetSize(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            char c = rows[y][x];
            bitmap.SetPixel(x, y, c == '#' ? 0xFF000000u : c == '.' ? 0xFFFF00FFu : c == 'r' ? 0xFFFF0000u : 0xFFFE0000u);
        }
}

}  // namespace zub::test
