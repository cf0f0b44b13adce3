#pragma once
// Design sizes are in twips (1/1440 inch); the logical pixels per inch of the monitor a window is
// on turn them into pixels.
#include <windows.h>

namespace qb::ui {

enum class Direction { Horizontal, Vertical };

// Pixels per logical inch, both ways.
struct Dpi {
    int x = 96, y = 96;
    bool operator==(const Dpi&) const = default;
};

// A rectangle in twips: where a control sits in its form's client area.
struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
};

// Logical pixels per inch of the screen in one direction, as this process sees it.
int screenDpi(Direction d);
// The DPI of the monitor a window is on (per-monitor aware hosts get the monitor's own; others
// the system's).
Dpi windowDpi(HWND window);
// The DPI of the monitor that holds a point of the screen.
Dpi monitorDpi(HMONITOR monitor);

// While it lives, windows the thread makes are per-monitor aware (v2 where Windows has it), even
// in a host that is not: they are laid out for the monitor they are on and told of a move to
// another (WM_DPICHANGED). Nothing changes in a thread that is aware already, or on a Windows
// without per-thread awareness.
class PerMonitorWindows {
public:
    PerMonitorWindows();
    ~PerMonitorWindows();
    PerMonitorWindows(const PerMonitorWindows&) = delete;
    PerMonitorWindows& operator=(const PerMonitorWindows&) = delete;

private:
    HANDLE before_ = nullptr;
};

// Twips to pixels, rounded to the nearest pixel (negative positions work too).
int twipsToPixels(int twips, Direction d);
int twipsToPixels(int twips, int dpi);
RECT toPixels(const Bounds& b, Dpi dpi);

}  // namespace qb::ui
