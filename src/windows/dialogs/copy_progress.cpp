#include "windows/dialogs/copy_progress.h"

#include "automation/failure.h"
#include "automation/module.h"

namespace qb::windows {

frmCopyProgress::frmCopyProgress() : Form({L"frmCopyProgress", L"Local Copy", 5400, 1800, RGB(224, 224, 224), true}) {
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { cancelled_ = true; };
    place({{lblCopying, {L"lblCopying", L"", {180, 120, 5040, 480}}},
           {Animation1, {L"Animation1", L"", {180, 660, 3900, 900}, 0, {}, L"Copying"}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {4200, 1260, 1020, 390}}}});
}

void frmCopyProgress::formLoad() {
    // The clip is decoration: a copy goes on without it.
    automation::ignoreFailure([&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        if (Animation1.open(automation::moduleFolder() + L"\\Avi\\Build.avi")) Animation1.play();
    });
}

bool frmCopyProgress::waitFor(HWND owner, ui::StartedProgram& program, const std::wstring& what) {
    HANDLE ended = program.waitable();
    if (::WaitForSingleObject(ended, 0) == WAIT_OBJECT_0) return true;
    frmCopyProgress window;
    window.load();
    window.lblCopying.setText(L"Copying " + what + L"...");
    // Over the relation window, which takes no input until the copy is done.
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (owner) {
        RECT o{}, w{};
        ::GetWindowRect(owner, &o);
        ::GetWindowRect(window.handle(), &w);
        ::SetWindowPos(window.handle(), nullptr, o.left + ((o.right - o.left) - (w.right - w.left)) / 2,
                       o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::SetWindowLongPtrW(window.handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
        ::EnableWindow(owner, FALSE);
    }
    struct Restore {
        HWND owner;
        bool enable;
        ~Restore() {
            if (!enable || !::IsWindow(owner)) return;
            ::EnableWindow(owner, TRUE);
            ::SetActiveWindow(owner);
        }
    } restore{owner, ownerWasEnabled};
    ::ShowWindow(window.handle(), SW_SHOWNORMAL);
    while (!window.cancelled_ && window.isLoaded()) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &ended, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {  // the host is ending: stop waiting, as Cancel would
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            if (window.translateKey(msg)) continue;
            if (window.handle() && ::IsDialogMessageW(window.handle(), &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // Closed with its close box or Esc: as Cancel.
    return ::WaitForSingleObject(ended, 0) == WAIT_OBJECT_0;
}

}  // namespace qb::windows
