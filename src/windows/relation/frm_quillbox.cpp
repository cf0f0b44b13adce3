#include "windows/relation/frm_quillbox.h"

#include <cmath>

#include "automation/failure.h"

namespace qb::windows {

frmQuillbox::frmQuillbox()
    : RelationWindow({L"frmQuillbox", L"Relations", 8040, 6300, RGB(224, 224, 224), true}),
      info(context()),
      keywords(context(), KeywordOptions{}),
      themes(context()),
      files(context()),
      server(context(), {[this](const automation::Object& item) { info.showUploaded(item); }, [this] { uploadDone(); }}) {
    cmdOk.onClick = [this] { cmdOk_Click(); };
    usePages({&info, &keywords, &themes, &files, &ssTab, kKeywordsTab});
    place({{ssTab, {L"ssTab", L"Info|Keywords|Themes|Files|Server", {60, 60, 7920, 5640}}},
           {cmdOk, {L"cmdOk", L"Ok", {6660, 5820, 1320, 375}}}});
    place(info.layout(kInfoTab));
    place(keywords.layout(kKeywordsTab));
    place(ui::onPage(kKeywordsTab, {{cmdView, {L"cmdView", L"", {240, 5040, 3660, 375}, 0, {}, L"Keyword view"}}}));
    place(themes.layout(3));
    place(files.layout(kFilesTab));
    place(server.layout(kServerTab));
}

frmQuillbox::~frmQuillbox() { unload(); }

long frmQuillbox::ConvertTwipsToPixels(long lngTwips, long lngDirection) {
    return automation::qualified(L"frmQuillbox.ConvertTwipsToPixels()", [&] {
        int dpi = ui::screenDpi(lngDirection ? ui::Direction::Vertical : ui::Direction::Horizontal);
        return static_cast<long>(std::nearbyint(lngTwips / 1440.0 * dpi));  // halves to even
    });
}

void frmQuillbox::LoadFileInfo(std::wstring fil) {
    automation::qualified(L"frmQuillbox.LoadFileInfo()", [&] {
        load();  // the opener's first use of the window
        ::CharUpperBuffW(fil.data(), static_cast<DWORD>(fil.size()));
        fi = std::make_unique<fileinfo::CFileInfo>();
        fi->setFullPathName(fil);
        info.showFileIcon(fi.get());
    });
}

void frmQuillbox::LoadFileOutlookInfo(const std::wstring&, const std::wstring& pstrType) {
    automation::qualified(L"frmQuillbox.LoadFileOutlookInfo()", [&] {
        load();
        info.showOutlookKind(pstrType, false);
    });
}

void frmQuillbox::cmdOk_Click() {
    if (server.busy()) return;  // the upload's messages run meanwhile: the window stays for it
    hide();
}

void frmQuillbox::uploadDone() {
    ssTab.select(kInfoTab);
    ssTab.setPageEnabled(kServerTab, false);
}

bool frmQuillbox::message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_CLOSE && server.busy()) {  // not closed under a running upload
        result = 0;
        return true;
    }
    return RelationWindow::message(msg, wp, lp, result);
}

}  // namespace qb::windows
