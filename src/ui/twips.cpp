#include "ui/twips.h"

namespace qb::ui {

int screenDpi(Direction d) {
    HDC dc = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(dc, d == Direction::Horizontal ? LOGPIXELSX : LOGPIXELSY);
    ::ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

int twipsToPixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

int twipsToPixels(int twips, Direction d) { return twipsToPixels(twips, screenDpi(d)); }

}  // namespace qb::ui
