#include "windows/dialogs/download_window.h"

#include "automation/failure.h"
#include "automation/module.h"
#include "shell/download.h"

namespace qb::windows {

frmDownload::frmDownload() : Form({L"frmDownload", L"Download...", 4680, 1800, RGB(224, 224, 224)}) {
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    place({{SSPanel1, {L"SSPanel1", L"", {120, 120, 4440, 1020}}},
           {Animation1, {L"Animation1", L"", {240, 180, 4200, 900}, 0, {}, L"Download"}},
           {cmdCancel, {L"cmdCancel", L"Cancel", {3480, 1290, 1080, 390}}}});
}

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
        // Cancel pressed while the messages ran unloads the window: nothing more to do.
        if (blnActive || !isLoaded()) return;
        blnActive = true;
        blnResult = false;
        std::wstring avi = automation::moduleFolder() + L"\\Avi\\Build.avi";
        if (!Animation1.open(avi)) throw automation::ComError::runtime(automation::err::FileNotFound, avi);
        Animation1.play();
        shell::StartDownload(strOrg, strDst);
        blnResult = true;
        hide();
    });
}

void frmDownload::cmdCancel_Click() {
    blnResult = false;
    unload();
}

}  // namespace qb::windows
