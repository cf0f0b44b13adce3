#pragma once
// What every relation window does at the window level: it holds the item record and the keyword
// view in use, names that view on its view button and stores it per user, reacts to the
// connection-state control (a change of state closes it, a change of view reloads its pages),
// reads its pages again after a failure, and routes the keyword drags. A window derives from it,
// places its pages and tells it which of the shared pages it has; what differs between the
// windows is in the windows.
#include <string>
#include <string_view>

#include "automation/object.h"
#include "windows/pages/files_page.h"
#include "windows/pages/info_page.h"
#include "windows/pages/keywords_page.h"
#include "windows/pages/themes_page.h"
#include "windows/shared/connection_watch.h"

namespace qb::windows {

class RelationWindow : public ui::Form {
public:
    // Set by the opener before the load step.
    automation::Object oFileSelected;
    // The keyword view in use, kept per user in the registry.
    short SelectedViewId = 0;
    // The list a drag started from: "lstKey" (the tree) or "lstKeyRel".
    std::wstring StartDrag;

    ui::Button cmdView;  // its caption names the view in use
    ui::Button cmdOk;

    // Names the view in use on cmdView (the first view when it is gone) and stores it.
    void LoadSelectView();

    // Event handlers.
    void cmdView_Click();
    void CheckState1_ChangeState();
    void CheckState1_ChangeView(short viewId);

    // Whether a change the connection-state control told waits for a suite dialog to end.
    bool holdsConnectionEvents() const noexcept { return CheckState1.holdsEvents(); }

protected:
    explicit RelationWindow(ui::FormSpec design);

    // The shared pages a window places (a window without one leaves it null), its tab control and
    // the number of its Keywords tab.
    struct SharedPages {
        InfoPage* info = nullptr;
        KeywordsPage* keywords = nullptr;
        ThemesPage* themes = nullptr;
        FilesPage* files = nullptr;
        ui::TabStrip* tabs = nullptr;
        int keywordsTab = 2;
    };
    void usePages(SharedPages pages) {
        pages_ = pages;
        if (pages_.tabs) pages_.tabs->opensOn = pages_.keywordsTab;  // where the load step leaves it
    }
    // What the pages are given.
    RelationContext context();

    // The load step of a window with the shared pages: pages prepared, skin, stored view, the
    // record in the boxes, the memo grid, the view's name, related keywords and tree, memos,
    // attachments, the watch started, the Keywords tab chosen.
    void formLoad() override;
    // Its first steps, for a window whose load goes otherwise: skin and stored view.
    void loadSkinAndStoredView();
    // Hooks in the load step: the window's own pages prepared; the record shown in the boxes.
    virtual void preparePages() {}
    virtual void recordShown() {}
    // What a change of view loads again: chosen in the chooser (cmdView_Click), or told by the
    // connection-state control (after LoadSelectView). The lists of the shared pages by default.
    virtual void reloadForView(std::wstring_view handler, bool toldByControl);
    // After a reported failure: the pages' lists read again, so that they show what is stored.
    virtual void resync(const automation::ComError& reported) noexcept;

    void formUnload() override;
    void dpiChanged() override;
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    ConnectionWatch CheckState1;

private:
    SharedPages pages_;
};

}  // namespace qb::windows
