#pragma once
// The Themes page of every relation window: the memos of the window's item in the view in use,
// one row each with the theme's picture and the text in the theme's colour; creating a memo in
// the memo dialog, removing the selected one, rows of one line or fitted to their text.
#include <functional>
#include <memory>
#include <string>

#include "automation/variant.h"
#include "base/handles.h"
#include "ui/controls/grid.h"
#include "windows/dialogs/memo_relation.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

class ThemesPage {
public:
    explicit ThemesPage(RelationContext context);
    ThemesPage(const ThemesPage&) = delete;
    ThemesPage& operator=(const ThemesPage&) = delete;

    ui::Grid grdMemo;
    ui::Button cmdMakeRelationMemo, cmdUnRelMemo, cmdSingleLine, cmdMultiLine;

    // The controls where the local file window has them (twips, on one tab page).
    ui::LayoutTable layout(int page);

    // At the start of the load, and when the window goes: no memo dialog of an earlier load is kept.
    void prepare() { memoDialog_.reset(); }
    void detach() {
        if (memoDialog_ && !memoDialog_->isShownModally()) memoDialog_.reset();
    }

    // Procedures (failures leave them with the window's qualified name appended).
    void ConfigGrid();
    void LoadMemoRelationed();
    void LoadItems(const std::wstring& text, const automation::Variant& theme, const automation::Variant& memoId,
                   short& row);
    void SetColorMemo(short row, const automation::Variant& theme);
    // After a failure elsewhere: the grid filled again; a failure of this is logged only.
    void resync(const automation::ComError& reported) noexcept;

    // Event handlers (failures reported under the window's qualified names).
    void cmdMakeRelationMemo_Click();
    void cmdUnRelMemo_Click();
    void cmdSingleLine_Click();
    void cmdMultiLine_Click();

    // A row's height in "Single line", in pixels at 96 dots per inch.
    static constexpr int kSingleLineHeight = 17;

private:
    // Every row's height set by `height` (of the row), with the drawing held meanwhile.
    void setHeights(const std::function<void(int)>& height);

    RelationContext ctx_;
    UniqueImageList ilsIcons_;
    std::unique_ptr<frmMemoRelation> memoDialog_;  // the last one shown
};

}  // namespace qb::windows
