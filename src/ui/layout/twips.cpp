#include "ui/layout/twips.h"

#include "base/handles.h"
namespace qb::ui {
namespace {

// Functions of newer Windows versions, looked up once; absent ones leave the system DPI in force.
struct DpiFunctions {
    UINT(WINAPI* forWindow)(HWND) = nullptr;
    HRESULT(WINAPI* forMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
    HANDLE(WINAPI* threadAwareness)() = nullptr;
    HANDLE(WINAPI* setThreadAwareness)(HANDLE) = nullptr;
    int(WINAPI* awarenessOf)(HANDLE) = nullptr;
    DpiFunctions() {
        if (HMODULE user = ::GetModuleHandleW(L"user32.dll")) {
            forWindow = reinterpret_cast<decltype(forWindow)>(::GetProcAddress(user, "GetDpiForWindow"));
            threadAwareness =
                reinterpret_cast<decltype(threadAwareness)>(::GetProcAddress(user, "GetThreadDpiAwarenessContext"));
            awarenessOf =
                reinterpret_cast<decltype(awarenessOf)>(::GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext"));
            setThreadAwareness =
                reinterpret_cast<decltype(setThreadAwareness)>(::GetProcAddress(user, "SetThreadDpiAwarenessContext"));
        }
        if (HMODULE shcore = ::LoadLibraryW(L"shcore.dll"))
            forMonitor = reinterpret_cast<decltype(forMonitor)>(::GetProcAddress(shcore, "GetDpiForMonitor"));
    }
};

const DpiFunctions& dpiFunctions() {
    static const DpiFunctions f;
    return f;
}

Dpi systemDpi() { return {screenDpi(Direction::Horizontal), screenDpi(Direction::Vertical)}; }

// Only a per-monitor aware thread lays out for each monitor; the others are laid out for the
// system DPI and Windows scales their windows on other monitors.
bool perMonitorAware() {
    const DpiFunctions& f = dpiFunctions();
    constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
    return f.threadAwareness && f.awarenessOf && f.awarenessOf(f.threadAwareness()) == kPerMonitorAware;
}

}  // namespace

int screenDpi(Direction d) {
    const WindowDc screen(nullptr);
    int dpi = ::GetDeviceCaps(screen.get(), d == Direction::Horizontal ? LOGPIXELSX : LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

Dpi windowDpi(HWND window) {
    if (window && dpiFunctions().forWindow && perMonitorAware()) {
        if (UINT dpi = dpiFunctions().forWindow(window); dpi > 0) return {static_cast<int>(dpi), static_cast<int>(dpi)};
    }
    return systemDpi();
}

Dpi monitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (monitor && perMonitorAware() && dpiFunctions().forMonitor && SUCCEEDED(dpiFunctions().forMonitor(monitor, 0, &x, &y)) && x && y)
        return {static_cast<int>(x), static_cast<int>(y)};
    return systemDpi();
}

PerMonitorWindows::PerMonitorWindows() {
    const DpiFunctions& f = dpiFunctions();
    if (!f.setThreadAwareness || perMonitorAware()) return;
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, or the first version where v2 is unknown.
    before_ = f.setThreadAwareness(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
    if (!before_) before_ = f.setThreadAwareness(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)));
}

PerMonitorWindows::~PerMonitorWindows() {
    if (before_) dpiFunctions().setThreadAwareness(before_);
}

int twipsToPixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

int twipsToPixels(int twips, Direction d) { return twipsToPixels(twips, screenDpi(d)); }

RECT toPixels(const Bounds& b, Dpi dpi) {
    const int left = twipsToPixels(b.left, dpi.x), top = twipsToPixels(b.top, dpi.y);
    return {left, top, left + twipsToPixels(b.width, dpi.x), top + twipsToPixels(b.height, dpi.y)};
}

}  // namespace qb::ui
