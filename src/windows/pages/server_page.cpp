#include "windows/pages/server_page.h"

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "shell/download.h"
#include "support/services.h"
#include "windows/shared/local_copy.h"
#include "windows/shared/local_function.h"

namespace qb::windows {

using automation::Object;
using support::createObject;

ServerPage::ServerPage(RelationContext context, Uploaded uploaded) : ctx_(context), uploaded_(std::move(uploaded)) {
    cmdUpload.onClick = [this] { cmdUpload_Click(); };
}

ServerPage::ServerPage(RelationContext context, std::function<void()> upload) : ServerPage(context, Uploaded{}) {
    uploadInstead_ = std::move(upload);
}

ui::LayoutTable ServerPage::layout(int page) {
    return ui::onPage(page, {{lblUpload, {L"lblUpload", L"Upload file to server:", {240, 600, 3600, 240}}},
                             {cmdUpload, {L"cmdUpload", L"&Upload", {3960, 540, 1320, 375}}},
                             {chkRemove, {L"chkRemove", L"Remove this file in Local Data Base", {240, 1140, 5040, 300}}},
                             {sspSending, {L"sspSending", L"", {240, 1680, 7500, 1020}}},
                             {Animation1, {L"Animation1", L"", {360, 1740, 7260, 900}, 0, {}, L"Sending"}}});
}

// The busy panel shows only while a file goes, whichever tab is chosen meanwhile.
void ServerPage::prepare() {
    sspSending.keepHidden(true);
    Animation1.keepHidden(true);
}

void ServerPage::cmdUpload_Click() {
    if (busy_) return;  // pressed again while the file goes
    if (uploadInstead_) {
        // Its boxes may have no owner: the window is kept from closing under them.
        struct Disabled {
            ServerPage& page;
            HWND window;
            ~Disabled() {
                page.busy_ = false;
                if (!::IsWindow(window)) return;
                ::EnableWindow(window, TRUE);
                ::SetActiveWindow(window);
            }
        } disabled{*this, ctx_.window.handle()};
        busy_ = true;
        ::EnableWindow(disabled.window, FALSE);
        ctx_.window.event(L"cmdUpload_Click", uploadInstead_);
        return;
    }
    ctx_.window.event(L"cmdUpload_Click", [&] { upload(); });
    hideBusy();  // in every case, also after a failure was reported
}

void ServerPage::showBusy() {
    busy_ = true;
    cmdUpload.setEnabled(false);
    sspSending.keepHidden(false);
    Animation1.keepHidden(false);
    ::ShowWindow(sspSending.handle(), SW_SHOW);
    ::ShowWindow(Animation1.handle(), SW_SHOW);
    const std::wstring clip = automation::moduleFolder() + L"\\Avi\\updateprogress.avi";
    if (!Animation1.open(clip)) throw automation::ComError::runtime(automation::err::FileNotFound, clip);
    Animation1.play();
    shell::DoEvents();  // the panel paints before the file goes
}

void ServerPage::hideBusy() noexcept {
    busy_ = false;
    if (!ctx_.window.isLoaded()) return;
    try {
        Animation1.stop();
        Animation1.keepHidden(true);
        sspSending.keepHidden(true);
        cmdUpload.setEnabled(true);
        ::RedrawWindow(ctx_.window.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } catch (...) {
        ui::Form::swallowed(ctx_.qualified(L"cmdUpload_Click"));
    }
}

void ServerPage::upload() {
    showBusy();
    const std::wstring local = ctx_.item.get(contract::field::FileCurrentPath).toText();
    // The suite's upload lets messages run; a change of connection state waits until it is done.
    Object replaced;
    const std::wstring serverPath =
        ctx_.connection.aroundSuiteDialog([&] { return UploadItem(local, ctx_.window.handle(), &replaced); });
    if (automation::trimBlanks(serverPath).empty()) return;
    // The replaced file's record makes way for the new file's, and goes only once that is stored
    // with the local item's relations; until then it can come back.
    RecordAside old(replaced);
    Object serverItem =
        createObject(contract::progid::ItemLoader).callObject(L"LoadFileObjectServer", {serverPath, true, L"Server"});
    try {
        createObject(contract::progid::File)
            .call(L"CloneRelation", {ctx_.item.get(contract::field::FileId), serverItem.get(contract::field::FileId)});
    } catch (...) {
        if (!replaced.isNothing()) automation::ignoreFailure([&] { serverItem.call(L"Delete"); });
        throw;
    }
    old.drop();
    uploaded_.showServerItem(serverItem);
    if (chkRemove.checked()) ctx_.item.call(L"Delete");
    uploaded_.done();
}

}  // namespace qb::windows
