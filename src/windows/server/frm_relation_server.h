#pragma once
// frmRelationServer: the relation window of an item kept on the suite's file server. The shared
// Info, Keywords, Themes and File pages, the view chooser across the top, and how the user keeps
// the server file: as a link, or also as a local copy made on "Ok" (in the suite's download
// folder or in one the user picks).
#include <string>

#include "windows/pages/relate_with.h"
#include "windows/relation/relation_window.h"

namespace qb::windows {

class frmRelationServer final : public RelationWindow {
public:
    frmRelationServer();
    ~frmRelationServer() override;

    // Set by the opener; nothing of this window depends on them.
    std::wstring strUrl;
    bool blnEditMemo = false;

    ui::Frame SSFrame3;
    ui::TabStrip RelationTab;
    InfoPage info;
    KeywordsPage keywords;
    ThemesPage themes;
    FilesPage files;
    RelateWithFrame relate;
    ui::Button cmdCancel;

    static constexpr int kInfoTab = 1, kKeywordsTab = 2, kThemesTab = 3, kFileTab = 4;

    // Procedures (failures leave them with the window's qualified name appended).
    std::wstring GetFileServerPath(const std::wstring& pstrUrl);
    bool RelDownLoadFile();
    bool RelDonwLoadFileOtherPath();

    // Event handlers.
    void RelationTab_TabClick(int tab);
    void cmdOk_Click();
    void cmdCancel_Click() { unload(); }
    void mnu_NewKeyword_Click() { keywords.mnu_AddKeyWord_Click(); }

protected:
    void preparePages() override;
    void recordShown() override;
    void pageShown(int page) override { RelationTab_TabClick(page); }

};

}  // namespace qb::windows
