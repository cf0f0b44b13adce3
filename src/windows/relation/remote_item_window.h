#pragma once
// The relation window of an item that is no local file and is kept as a link or also as a local
// copy made on "Ok": the server item window and its twin, the mail item window. The view chooser
// across the top, the shared Info, Keywords, Themes and File pages on the tabs below it, the
// "Relate With:" options and "Ok"/"Cancel". What is copied, and how, is the windows' own.
#include <string>

#include "windows/pages/relate_with.h"
#include "windows/relation/relation_window.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

class RemoteItemWindow : public RelationWindow {
public:
    // Set by the opener; nothing of these windows depends on them.
    std::wstring strUrl, m_UserFile, strMemo;
    bool blnEditMemo = false;
    bool blnRecomendedKW = false;

    ui::Frame SSFrame3;
    ui::TabStrip RelationTab;
    InfoPage info;
    KeywordsPage keywords;
    ThemesPage themes;
    FilesPage files;
    RelateWithFrame relate;
    ui::Button cmdCancel;

    static constexpr int kInfoTab = 1, kKeywordsTab = 2, kThemesTab = 3, kFileTab = 4;

    // Event handlers.
    void RelationTab_TabClick(int tab);
    // The copy chosen, then the window goes. A copy that fails is reported, and one the user gave
    // up is not: either way the window stays open with nothing of the copy left, for another try,
    // another way, or Cancel.
    void cmdOk_Click();
    void cmdCancel_Click() { unload(); }
    void mnu_NewKeyword_Click() { keywords.mnu_AddKeyWord_Click(); }

protected:
    struct Design {
        const wchar_t* name;
        const wchar_t* tabs;  // the tab captions, "|"-separated
        RelateWithNames relateWith;
        InfoPathLabel pathLabel;
    };
    explicit RemoteItemWindow(const Design& design);
    // The pages are laid out for tabs at the top of a window; here the view chooser is above them.
    static constexpr int kBelowChooser = 420;

    // The local copy of "Ok" for the option chosen (Skipped for the link).
    virtual CopyOutcome copyChosen() = 0;

    void preparePages() override { relate.prepare(); }
    void pageShown(int page) override { RelationTab_TabClick(page); }
};

}  // namespace qb::windows
