#pragma once
// The colours a window shows: its designed ones, or the system's while the user needs their own:
// a high-contrast theme on, or a dark window colour chosen in a theme the system does not report
// as high contrast (Wine reports none). The designed light colours would leave texts the system
// draws in the user's colours unreadable (white keywords on a white tree).
#include <windows.h>

namespace qb::ui {

// Whether the system's colours are to be shown instead of the designed ones.
bool highContrast();
// `designed`, or the system colour `sysIndex` (COLOR_WINDOW...) under high contrast.
COLORREF shownColor(COLORREF designed, int sysIndex);
// Ink drawn on the window colour: `designed` (a memo theme's colour), or the window text colour
// under high contrast; CLR_DEFAULT stays as it is.
COLORREF shownInk(COLORREF designed);

}  // namespace qb::ui
