#pragma once
// The colours a window shows: its designed ones, or the system's while a high-contrast theme is
// on (the user chose those colours to be able to read the screen at all).
#include <windows.h>

namespace qb::ui {

// Whether the user has a high-contrast theme on.
bool highContrast();
// `designed`, or the system colour `sysIndex` (COLOR_WINDOW...) under high contrast.
COLORREF shownColor(COLORREF designed, int sysIndex);
// Ink drawn on the window colour: `designed` (a memo theme's colour), or the window text colour
// under high contrast; CLR_DEFAULT stays as it is.
COLORREF shownInk(COLORREF designed);

// For tests: high contrast taken as on or off, whatever the system says, while this lives.
class HighContrastForTest {
public:
    explicit HighContrastForTest(bool on);
    ~HighContrastForTest();
    HighContrastForTest(const HighContrastForTest&) = delete;
    HighContrastForTest& operator=(const HighContrastForTest&) = delete;

private:
    int before_;
};

}  // namespace qb::ui
