#include "ui/window/modal.h"

#include "ui/window/form.h"

namespace qb::ui {

void MessageLoopRunner::runModal(Form& form) {
    HWND h = form.handle();
    if (!h) return;
    ::ShowWindow(h, SW_SHOWNORMAL);
    ::SetForegroundWindow(h);  // activation puts the focus on the first control

    MSG msg;
    while (form.isVisible()) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // let the host's own loop see it
            break;
        }
        if (got < 0) break;
        if (form.translateKey(msg)) continue;
        HWND current = form.handle();
        if (current && ::IsDialogMessageW(current, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (form.isVisible()) form.hide();
}

}  // namespace qb::ui
