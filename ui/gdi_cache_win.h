// The program's fonts and brushes: one font per font description and one
// brush per colour, made on first use and kept for the program's life, so
// controls never own, copy or leak GDI objects. System colours use the
// system's own brushes, which need no freeing.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "base/handles_win.h"
#include "base/color.h"
#include "base/font.h"

namespace zub {

class TGdiCache {
public:
    TGdiCache() = default;
    TGdiCache(const TGdiCache&) = delete;
    TGdiCache& operator=(const TGdiCache&) = delete;

    // The font for this description (its colour plays no part in the font).
    HFONT Font(const TFont& wanted);
    HBRUSH Brush(TColor color);

    // GDI objects this cache has made and holds.
    size_t ObjectCount() const { return fonts_.size() + brushes_.size(); }

private:
    using TFontKey = std::tuple<std::string, int32_t, unsigned>;
    std::map<TFontKey, GdiObject<HFONT>> fonts_;
    std::map<uint32_t, GdiObject<HBRUSH>> brushes_;
};

// The program's cache, made on first use.
TGdiCache& GdiCache();

// The screen's dots per inch (vertical).
int ScreenDpi();

}  // namespace zub
