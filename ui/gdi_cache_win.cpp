#include "ui/gdi_cache_win.h"

#include <cstring>

namespace zub {

HFONT TGdiCache::Font(const TFont& wanted) {
    TFontKey key{wanted.Name, wanted.Height, wanted.Style};
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    LOGFONTA lf{};
    lf.lfHeight = wanted.Height;
    lf.lfWeight = (wanted.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (wanted.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (wanted.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (wanted.Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    strncpy(lf.lfFaceName, wanted.Name.c_str(), LF_FACESIZE - 1);
    GdiObject<HFONT> font(CreateFontIndirectA(&lf));
    // Out of GDI objects: the system font still shows the text.
    if (!font.valid()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HFONT result = font.get();
    fonts_.emplace(key, std::move(font));
    return result;
}

HBRUSH TGdiCache::Brush(TColor color) {
    if (IsSystemColor(color)) return GetSysColorBrush(SystemColorIndex(color));
    const uint32_t rgb = ColorToRGB(color);
    auto found = brushes_.find(rgb);
    if (found != brushes_.end()) return found->second.get();
    GdiObject<HBRUSH> brush(CreateSolidBrush(rgb));
    if (!brush.valid()) return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HBRUSH result = brush.get();
    brushes_.emplace(rgb, std::move(brush));
    return result;
}

TGdiCache& GdiCache() {
    static TGdiCache cache;
    return cache;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace zub
