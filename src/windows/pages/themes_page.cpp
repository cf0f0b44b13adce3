#include "windows/pages/themes_page.h"

namespace qb::windows {

ui::LayoutTable ThemesPage::layout(int page) {
    return ui::onPage(page, {{grdMemo, {L"grdMemo", L"", {240, 480, 7500, 4440}, 0, {}, L"Theme Relations"}},
                             {cmdMakeRelationMemo, {L"cmdMakeRelationMemo", L"Create", {240, 5040, 1320, 375}}},
                             {cmdUnRelMemo, {L"cmdUnRelMemo", L"Remove", {1680, 5040, 1320, 375}}},
                             {cmdSingleLine, {L"cmdSingleLine", L"Single line", {4980, 5040, 1320, 375}}},
                             {cmdMultiLine, {L"cmdMultiLine", L"Multi line", {6420, 5040, 1320, 375}}}});
}

void ThemesPage::prepare() {
    for (ui::Control* c : std::initializer_list<ui::Control*>{&grdMemo, &cmdMakeRelationMemo, &cmdUnRelMemo,
                                                               &cmdSingleLine, &cmdMultiLine})
        c->setEnabled(false);
}

}  // namespace qb::windows
