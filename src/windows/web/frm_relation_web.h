#pragma once
// frmRelationWeb: the relation window of a web page. The Info and Keywords pages, one memo of the
// page filed in a category (its Themes page), and how the page is kept: a link, or also a local
// copy made by the suite's downloader on "Ok". The page's data is loaded at its first activation.
#include <string>

#include "windows/pages/relate_with.h"
#include "windows/pages/web_memo_page.h"
#include "windows/relation/relation_window.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

class frmRelationWeb final : public RelationWindow {
public:
    frmRelationWeb();
    ~frmRelationWeb() override;

    // Set by the opener.
    std::wstring strUrl, strMemo;
    bool blnEditMemo = false;
    bool blnRecomendedKW = false;
    // The memo's category, id and theme position.
    short SelectedCatId = 0;
    long SelectedMemoId = 0;
    long SelectedTheme = 0;

    ui::TabStrip RelationTab;
    InfoPage info;
    KeywordsPage keywords;
    WebMemoPage memo;
    RelateWithFrame relate;
    ui::Button cmdCancel;

    static constexpr int kInfoTab = 1, kKeywordsTab = 2, kThemesTab = 3;

    // Procedures (failures leave them with the window's qualified name appended).
    CopyOutcome RelDownLoadFile();
    CopyOutcome RelDonwLoadFileOtherPath();

    // Event handlers.
    void Form_Activate();
    void RelationTab_TabClick(int tab);
    void cmdOk_Click();
    void cmdCancel_Click() { unload(); }
    void mnu_NewKeyword_Click() { keywords.mnu_AddKeyWord_Click(); }

protected:
    void formLoad() override;
    void activated() override { Form_Activate(); }
    void pageShown(int page) override { RelationTab_TabClick(page); }
    void reloadForView(std::wstring_view handler, bool toldByControl) override;
    void formUnload() override;
    void dpiChanged() override {
        RelationWindow::dpiChanged();
        memo.drawPictures();
    }

private:
    bool blnActivated_ = false;
    // A local copy made by an "Ok" that then failed: the next "Ok" does not make another.
    bool copyMade_ = false;
};

}  // namespace qb::windows
