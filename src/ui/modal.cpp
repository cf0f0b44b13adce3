#include "ui/modal.h"

#include <vector>

#include "ui/form.h"

namespace qb::ui {
namespace {

struct Disabled {
    HWND self;
    std::vector<HWND> windows;
};

BOOL CALLBACK disableOthers(HWND h, LPARAM lp) {
    auto* d = reinterpret_cast<Disabled*>(lp);
    if (h != d->self && ::IsWindowVisible(h) && ::IsWindowEnabled(h)) {
        ::EnableWindow(h, FALSE);
        d->windows.push_back(h);
    }
    return TRUE;
}

}  // namespace

void MessageLoopRunner::runModal(Form& form) {
    HWND h = form.handle();
    if (!h) return;
    Disabled d{h, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &disableOthers, reinterpret_cast<LPARAM>(&d));

    ::ShowWindow(h, SW_SHOWNORMAL);
    ::SetForegroundWindow(h);
    if (HWND first = ::GetNextDlgTabItem(h, nullptr, FALSE)) ::SetFocus(first);

    MSG msg;
    while (form.isVisible()) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // let the host's own loop see it
            break;
        }
        if (got < 0) break;
        HWND current = form.handle();
        if (current && ::IsDialogMessageW(current, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (form.isVisible()) form.hide();
    for (HWND w : d.windows)
        if (::IsWindow(w)) ::EnableWindow(w, TRUE);
}

}  // namespace qb::ui
