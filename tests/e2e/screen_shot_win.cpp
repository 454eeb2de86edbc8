#include "tests/e2e/screen_shot_win.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "base/file.h"
#include "tests/e2e/process_driver_win.h"

namespace zub::e2e {
namespace {

// The screen's pixels inside `area`, bottom-up rows of 24 bits.
struct TScreenPixels {
    BITMAPINFOHEADER Header{};
    std::vector<unsigned char> Bits;
};

TScreenPixels Capture(const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    TScreenPixels pixels;
    pixels.Header = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = pixels.Header;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    if (bits) pixels.Bits.assign(static_cast<unsigned char*>(bits), static_cast<unsigned char*>(bits) + stride * DWORD(h));
    pixels.Header.biSizeImage = static_cast<DWORD>(pixels.Bits.size());
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

RECT FullScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

COLORREF ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool WaitForStillPicture(HWND window, const RECT& area, DWORD timeoutMs) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::vector<unsigned char> last;
    int still = 0;
    // Three looks alike in a row: painting has stopped, not merely paused.
    return WaitFor(
        [&] {
            std::vector<unsigned char> now = Capture(area).Bits;
            still = now == last ? still + 1 : 0;
            last = std::move(now);
            return still >= 2;
        },
        timeoutMs);
}

bool SaveScreen(const RECT& area, const std::string& path, HWND paintedBy) {
    WaitForStillPicture(paintedBy, area);
    const TScreenPixels pixels = Capture(area);
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(headers + pixels.Bits.size()), 0, 0, headers};
    try {
        fs::File out = fs::File::Create(path);
        out.Write(&file, sizeof file);
        out.Write(&pixels.Header, sizeof pixels.Header);
        out.Write(pixels.Bits.data(), pixels.Bits.size());
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "screen picture: %s\n", e.what());
        return false;
    }
}

}  // namespace zub::e2e
