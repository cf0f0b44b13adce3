#include "ui/look/colors.h"

#include <commctrl.h>

#include <cmath>

namespace qb::ui {

namespace {

// Relative luminance (WCAG) of a colour.
double luminance(COLORREF c) {
    auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}

}  // namespace

bool highContrast() {
    HIGHCONTRASTW hc{sizeof hc};
    if (::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON)) return true;
    return luminance(::GetSysColor(COLOR_WINDOW)) < 0.2;  // light text on dark windows
}

COLORREF shownColor(COLORREF designed, int sysIndex) { return highContrast() ? ::GetSysColor(sysIndex) : designed; }

COLORREF shownInk(COLORREF designed) {
    return designed == CLR_DEFAULT || !highContrast() ? designed : ::GetSysColor(COLOR_WINDOWTEXT);
}

}  // namespace qb::ui
