// Helpers of the skin tests under Wine: picture files, and reading a window
// region back as a set of pixels.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/file.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"
#include "pump_util_win.h"

namespace zub::test {

// Writes a 24-bit bottom-up BMP; rows[y][x] is 0xRRGGBB.
inline void WriteBmp(const std::string& path, const std::vector<std::vector<uint32_t>>& rows) {
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows[0].size());
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b(54 + size_t(stride) * h, 0);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, uint32_t(b.size())), put(10, 54), put(14, 40), put(18, w), put(22, h);
    b[26] = 1, b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &b[54 + size_t(stride) * (h - 1 - y) + 3 * x];
            p[0] = uint8_t(rows[y][x]), p[1] = uint8_t(rows[y][x] >> 8), p[2] = uint8_t(rows[y][x] >> 16);
        }
    fs::File f = fs::File::Create(path);
    f.Write(b.data(), b.size());
}

inline std::vector<std::vector<uint32_t>> Solid(int w, int h, uint32_t rgb) {
    return std::vector<std::vector<uint32_t>>(h, std::vector<uint32_t>(w, rgb));
}

using TPixelSet = std::set<std::pair<int, int>>;

// The pixels of a region.
inline TPixelSet RegionPixels(HRGN region) {
    TPixelSet pixels;
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> data(size);
    if (!size || !GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()))) return pixels;
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    const RECT* rects = reinterpret_cast<const RECT*>(header->Buffer);
    for (DWORD i = 0; i < header->rdh.nCount; ++i)
        for (int y = rects[i].top; y < rects[i].bottom; ++y)
            for (int x = rects[i].left; x < rects[i].right; ++x) pixels.insert({x, y});
    return pixels;
}

// The pixels of the window's region; empty when it has none.
inline TPixelSet WindowRegionPixels(HWND window) {
    TPixelSet pixels;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) pixels = RegionPixels(region);
    DeleteObject(region);
    return pixels;
}

}  // namespace zub::test
