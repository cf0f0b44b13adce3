#include "ui/look/colors.h"

#include <commctrl.h>

namespace qb::ui {

namespace {
int g_forced = -1;  // -1: as the system says
}

bool highContrast() {
    if (g_forced >= 0) return g_forced != 0;
    HIGHCONTRASTW hc{sizeof hc};
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF shownColor(COLORREF designed, int sysIndex) { return highContrast() ? ::GetSysColor(sysIndex) : designed; }

COLORREF shownInk(COLORREF designed) {
    return designed == CLR_DEFAULT || !highContrast() ? designed : ::GetSysColor(COLOR_WINDOWTEXT);
}

HighContrastForTest::HighContrastForTest(bool on) : before_(g_forced) { g_forced = on ? 1 : 0; }
HighContrastForTest::~HighContrastForTest() { g_forced = before_; }

}  // namespace qb::ui
