#include "windows/pages/server_page.h"

namespace qb::windows {

ui::LayoutTable ServerPage::layout(int page) {
    return ui::onPage(page, {{lblUpload, {L"lblUpload", L"Upload file to server:", {240, 600, 3600, 240}}},
                             {cmdUpload, {L"cmdUpload", L"Upload", {3960, 540, 1320, 375}}},
                             {chkRemove, {L"chkRemove", L"Remove this file in Local Data Base", {240, 1140, 5040, 300}}},
                             {sspSending, {L"sspSending", L"", {240, 1680, 7500, 1020}}},
                             {Animation1, {L"Animation1", L"", {360, 1740, 7260, 900}, 0, {}, L"Sending"}}});
}

void ServerPage::prepare() {
    cmdUpload.setEnabled(false);
    chkRemove.setEnabled(false);
}

}  // namespace qb::windows
