#include "windows/web/frm_relation_web.h"

#include "automation/failure.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "support/services.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

frmRelationWeb::frmRelationWeb()
    : RelationWindow({L"frmRelationWeb", L"Relations", 8040, 7440, RGB(224, 224, 224)}),
      info(context()),
      keywords(context(), KeywordOptions::keptItem(relate.SSFrame1)),
      memo(context(), {strMemo, blnEditMemo, SelectedCatId, SelectedMemoId, SelectedTheme}),
      relate(context()) {
    usePages({&info, &keywords, nullptr, nullptr, &RelationTab, kKeywordsTab});
    cmdOk.onClick = [this] { cmdOk_Click(); };
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    place({{RelationTab, {L"RelationTab", L"Info|Keywords|Themes", {60, 60, 7920, 5640}}}});
    place(info.layout(kInfoTab));
    place(ui::withPlace(keywords.layout(kKeywordsTab), keywords.cmdUpdate, {5280, 5760, 2700, 375}, 0));
    place(memo.layout(kThemesTab));
    place({{cmdView, {L"cmdView", L"", {60, 5775, 5100, 345}, 0, {}, L"Keyword view"}}});
    place(relate.layout());
    place({{cmdOk, {L"cmdOk", L"Ok", {5280, 7005, 1300, 375}}}, {cmdCancel, {L"cmdCancel", L"Cancel", {6680, 7005, 1300, 375}}}});
}

frmRelationWeb::~frmRelationWeb() { unload(); }

void frmRelationWeb::formLoad() {
    event(L"Form_Load", [&] {
        blnActivated_ = false;
        copyMade_ = false;
        info.prepare();
        keywords.prepare();
        memo.prepare();
        relate.prepare();
        loadSkinAndStoredView();
        info.showRecord();
        // A proposed text holding "function tags" is no memo (it is what the browser hands over
        // from a page's script).
        if (strMemo.find(L"function tags") != std::wstring::npos) strMemo.clear();
        memo.txtMemo.setText(strMemo);
        info.showKindPicture(L"Link");
        relate.Picture2.repaint();
        memo.chkMemo_Click(automation::trimBlanks(memo.txtMemo.text()).empty() ? 0 : -1);
        RelationTab.select(kKeywordsTab);
    });
}

// The first activation loads the page's data. Flagged at the start: a message box or a suite
// dialog during the loads activates the window again.
void frmRelationWeb::Form_Activate() {
    if (blnActivated_ || !isLoaded()) return;
    blnActivated_ = true;
    memo.beginLoad();  // an "Ok" let through by the loads waits until the memo is known
    event(L"Form_Activate", [&] {
        memo.LoadComboItems();
        LoadSelectView();
        memo.LoadRecomendedKW(strMemo, blnRecomendedKW);
        keywords.reload(L"Form_Activate");
        memo.LoadMemo();
        CheckState1.start();
    });
}

void frmRelationWeb::RelationTab_TabClick(int tab) {
    event(L"RelationTab_TabClick", [&] {
        if (!keywords.cmdUpdate.exists()) return;
        ::ShowWindow(keywords.cmdUpdate.handle(), tab == kKeywordsTab ? SW_SHOW : SW_HIDE);
        if (tab == kThemesTab) memo.ensureFolders();
    });
}

// Told by the control or chosen: the categories of the new view in either case (the list never
// offers another view's category).
void frmRelationWeb::reloadForView(std::wstring_view handler, bool toldByControl) {
    const auto typed = memo.unstoredText();
    if (toldByControl) memo.LoadComboItems();
    keywords.reload(handler);
    memo.viewChanged();
    memo.LoadMemo();
    if (typed) memo.keepTyped(*typed);
}

CopyOutcome frmRelationWeb::RelDownLoadFile() {
    return automation::qualified(qualifiedName(L"RelDownLoadFile"), [&] {
        const std::wstring address = oFileSelected.get(contract::field::FileCurrentPath).toText();
        return copyToDownloadFolder({address, oFileSelected, handle()}, copyName(lastSegment(address)));
    });
}

CopyOutcome frmRelationWeb::RelDonwLoadFileOtherPath() {
    return automation::qualified(qualifiedName(L"RelDonwLoadFileOtherPath"), [&] {
        const std::wstring address = oFileSelected.get(contract::field::FileCurrentPath).toText();
        return copyToChosenFolder({address, oFileSelected, handle()}, lastSegment(address));
    });
}

// A failure leaves the window open with what was stored before it; an "Ok" again finishes what
// is left (the copy is not made twice, the memo not inserted twice).
void frmRelationWeb::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        // Clicked while the page's memo loads (its load lets messages run): not yet.
        if (memo.memoLoading()) return;
        // After a load that failed the window may show less than is stored: nothing of the memo
        // is stored from it.
        const auto change = memo.memoKnown() ? memo.pendingChange() : WebMemoPage::Change::None;
        if ((change == WebMemoPage::Change::Insert || change == WebMemoPage::Change::Update) && SelectedCatId == 0) {
            support::services().prompter->messageBox(handle(), L"Please select a folder.", L"Zirerovu Rezad",
                                                     MB_OK | MB_ICONINFORMATION);
            RelationTab.select(kThemesTab);  // where the category is chosen
            memo.cmbFolders.setFocus();
            return;
        }
        if (change == WebMemoPage::Change::Delete &&
            support::services().prompter->messageBox(handle(), L"Delete the memo of this page?", caption(),
                                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        if (!copyMade_) {
            // Messages run while the downloader works: a change of connection state waits.
            const CopyOutcome copy = CheckState1.aroundSuiteDialog([&] {
                if (relate.chkLocalCopyDP.value()) return RelDownLoadFile();
                if (relate.chkLocalCopyOP.value()) return RelDonwLoadFileOtherPath();
                return CopyOutcome::Skipped;
            });
            if (copy == CopyOutcome::Cancelled) return;
            copyMade_ = copy == CopyOutcome::Made;
        }
        memo.store(change);
        unload();
    });
}

void frmRelationWeb::formUnload() {
    blnActivated_ = false;
    RelationWindow::formUnload();
}

}  // namespace qb::windows
