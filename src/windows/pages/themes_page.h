#pragma once
// The Themes page: the memo grid and its buttons, shown unavailable until the memo handlers
// are built.
#include "ui/controls/list_view.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

class ThemesPage {
public:
    ui::TaggedList grdMemo;
    ui::Button cmdMakeRelationMemo, cmdUnRelMemo, cmdSingleLine, cmdMultiLine;
    ui::LayoutTable layout(int page);
    void prepare();
};

}  // namespace qb::windows
