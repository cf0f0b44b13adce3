#include "windows/relation/remote_item_window.h"

namespace qb::windows {

RemoteItemWindow::RemoteItemWindow(const Design& design)
    : RelationWindow({design.name, L"Relations", 8040, 7440, RGB(224, 224, 224)}),
      info(context()),
      keywords(context(), KeywordOptions::keptItem(relate.SSFrame1)),
      themes(context()),
      files(context()),
      relate(context(), design.relateWith) {
    usePages({&info, &keywords, &themes, &files, &RelationTab, kKeywordsTab});
    cmdOk.onClick = [this] { cmdOk_Click(); };
    cmdCancel.isCancel = true;
    cmdCancel.onClick = [this] { cmdCancel_Click(); };

    place({{cmdView, {L"cmdView", L"", {60, 45, 7920, 345}, 0, {}, L"Keyword view"}},
           {SSFrame3, {L"SSFrame3", L"", {0, 0, 8040, 420}}},
           {RelationTab, {L"RelationTab", design.tabs, {60, 480, 7920, 5640}}}});
    place(ui::movedDown(kBelowChooser, info.layout(kInfoTab, design.pathLabel)));
    place(ui::withPlace(ui::movedDown(kBelowChooser, keywords.layout(kKeywordsTab)), keywords.cmdUpdate,
                        {5280, 6240, 2700, 375}, 0));
    place(ui::movedDown(kBelowChooser, themes.layout(kThemesTab)));
    place(ui::movedDown(kBelowChooser, files.layout(kFileTab)));
    place(relate.layout());
    place({{cmdOk, {L"cmdOk", L"Ok", {5280, 7005, 1300, 375}}}, {cmdCancel, {L"cmdCancel", L"Cancel", {6680, 7005, 1300, 375}}}});
}

// "Add/Edit keywords" belongs to the Keywords tab; the File tab (and the mail window's Server
// tab) leave it as it was.
void RemoteItemWindow::RelationTab_TabClick(int tab) {
    event(L"RelationTab_TabClick", [&] {
        if (!keywords.cmdUpdate.exists()) return;
        if (tab == kInfoTab || tab == kThemesTab) ::ShowWindow(keywords.cmdUpdate.handle(), SW_HIDE);
        else if (tab == kKeywordsTab) ::ShowWindow(keywords.cmdUpdate.handle(), SW_SHOW);
    });
}

void RemoteItemWindow::cmdOk_Click() {
    event(L"cmdOk_Click", [&] {
        // The copy lets messages run while the downloader works: a change of connection state
        // waits until it is done, rather than closing the window under it.
        if (CheckState1.aroundSuiteDialog([&] { return copyChosen(); }) == CopyOutcome::Cancelled) return;
        unload();
    });
}

}  // namespace qb::windows
