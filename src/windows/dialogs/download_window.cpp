#include "windows/dialogs/download_window.h"

#include <commctrl.h>

#include "automation/failure.h"
#include "automation/module.h"
#include "shell/download.h"

namespace qb::windows {

using ui::ControlKind;

frmDownload::frmDownload()
    : Form({L"frmDownload", L"Download...", 4680, 1800, RGB(224, 224, 224),
            {{L"SSPanel1", ControlKind::Panel, L"", 120, 120, 4440, 1020},
             {L"Animation1", ControlKind::Animation, L"", 240, 180, 4200, 900},
             {L"cmdCancel", ControlKind::Button, L"Cancel", 3480, 1290, 1080, 390, false, true}}}) {}

void frmDownload::formLoad() {
    blnActive = false;
    automation::ignoreFailure([&] {
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
    });
}

void frmDownload::activated() {
    event(L"Form_Activate", [&] {
        shell::DoEvents();
        if (blnActive) return;
        blnActive = true;
        blnResult = false;
        std::wstring avi = automation::moduleFolder() + L"\\Avi\\Build.avi";
        HWND animation = control(L"Animation1");
        if (!::SendMessageW(animation, ACM_OPENW, 0, reinterpret_cast<LPARAM>(avi.c_str())))
            throw automation::ComError::runtime(automation::err::FileNotFound, avi);
        ::SendMessageW(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
        shell::StartDownload(strOrg, strDst);
        blnResult = true;
        hide();
    });
}

void frmDownload::cmdCancel_Click() {
    blnResult = false;
    unload();
}

void frmDownload::click(std::wstring_view control) {
    if (control == L"cmdCancel") cmdCancel_Click();
}

}  // namespace qb::windows
