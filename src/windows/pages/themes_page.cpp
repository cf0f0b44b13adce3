#include "windows/pages/themes_page.h"

#include <cmath>

#include "automation/failure.h"
#include "contract/suite.h"
#include "support/services.h"
#include "ui/look/pictures.h"
#include "ui/window/wait_cursor.h"
#include "windows/shared/memo_themes.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
using automation::Variant;
using automation::qualified;
using support::createObject;

// The grid's columns, in this order (pixels at 96 dots per inch).
const ui::GridColumn kColumns[] = {
    {L"group1", L"", DT_LEFT, -1, 16, false}, {L"group2", L"", DT_LEFT, -1, 16, false},
    {L"group3", L"", DT_LEFT, -1, 16, false}, {L"Ico", L"", DT_RIGHT, 0, 20, true},
    {L"Memo", L"Memo", DT_LEFT, -1, 300, true}, {L"EntryID", L"", DT_LEFT, -1, 0, false},
};
constexpr int kMemoColumn = 5, kEntryColumn = 6;
constexpr UINT kMemoFlags = DT_WORDBREAK | DT_END_ELLIPSIS | DT_MODIFYSTRING;
constexpr UINT kIconFlags = DT_SINGLELINE | DT_WORD_ELLIPSIS;

// The whole part of a theme (2.9 is 2); a theme that is no number raises 13.
long wholeTheme(const Variant& theme) {
    const double whole = std::floor(theme.toDouble());
    if (whole < -2147483647.0 || whole > 2147483647.0) throw ComError::runtime(automation::err::Overflow);
    return static_cast<long>(whole);
}

}  // namespace

ThemesPage::ThemesPage(RelationContext context) : ctx_(context) {
    cmdMakeRelationMemo.onClick = [this] { cmdMakeRelationMemo_Click(); };
    cmdUnRelMemo.onClick = [this] { cmdUnRelMemo_Click(); };
    cmdSingleLine.onClick = [this] { cmdSingleLine_Click(); };
    cmdMultiLine.onClick = [this] { cmdMultiLine_Click(); };
}

ui::LayoutTable ThemesPage::layout(int page) {
    return ui::onPage(page, {{grdMemo, {L"grdMemo", L"", {240, 480, 7500, 4440}, 0, {}, L"Theme Relations"}},
                             {cmdMakeRelationMemo, {L"cmdMakeRelationMemo", L"&Create", {240, 5040, 1320, 375}}},
                             {cmdUnRelMemo, {L"cmdUnRelMemo", L"&Remove", {1680, 5040, 1320, 375}}},
                             {cmdSingleLine, {L"cmdSingleLine", L"&Single line", {4980, 5040, 1320, 375}}},
                             {cmdMultiLine, {L"cmdMultiLine", L"M&ulti line", {6420, 5040, 1320, 375}}}});
}

void ThemesPage::ConfigGrid() {
    qualified(ctx_.qualified(L"ConfigGrid"), [&] {
        grdMemo.setRedraw(false);
        ilsIcons_ = themePictures(ui::pictureSize(16, ctx_.window.dpi().y));
        grdMemo.setImageList(ilsIcons_.get());
        if (grdMemo.columnCount() == 0)
            for (const ui::GridColumn& c : kColumns) grdMemo.addColumn(c);
        grdMemo.setRedraw(true);
    });
}

void ThemesPage::LoadMemoRelationed() {
    qualified(ctx_.qualified(L"LoadMemoRelationed"), [&] {
        Object memos = createObject(contract::progid::Memo);
        memos.call(L"loaddata", {Arg::missing(), ctx_.fileId(), Arg::missing(), Arg::missing(), Arg::missing(),
                                 ctx_.viewId});
        Object found = memos.callObject(L"GetByFileId");
        struct Held {  // the rows appear together, whatever happens while they are filled
            ui::Grid& grid;
            ~Held() { grid.setRedraw(true); }
        } held{grdMemo};
        grdMemo.setRedraw(false);
        grdMemo.clear();
        short row = 1;
        automation::MemberIds ids;
        found.forEach([&](const Variant& item) {
            Object memo = Object::from(item);
            LoadItems(L"..." + memo.get(ids, L"MemoText").toText() + L"...", memo.get(ids, L"MemoTheme"),
                      memo.get(ids, L"MemoId"), row);
            if (row == 32767) throw ComError::runtime(automation::err::Overflow);
            ++row;
        });
    });
}

void ThemesPage::resync(const automation::ComError& reported) noexcept {
    try {
        LoadMemoRelationed();
    } catch (...) {
        support::logUnlessReported(reported, ctx_.qualified(L"resync"));
    }
}

void ThemesPage::LoadItems(const std::wstring& text, const Variant& theme, const Variant& memoId, short& row) {
    qualified(ctx_.qualified(L"LoadItems"), [&] {
        // Everything read before the row goes in: a row is whole or not there.
        const long icon = wholeTheme(theme) - 1;
        const std::wstring id = memoId.toText();
        while (grdMemo.rows() < row) grdMemo.addRow();
        for (int col = 1; col <= grdMemo.columnCount(); ++col) {
            const std::wstring& key = grdMemo.column(col).key;
            if (key == L"Ico")
                grdMemo.setCellIcon(row, col, static_cast<int>(icon), kIconFlags,
                                    icon >= 0 && icon < 4 ? std::wstring(kThemeNames[icon]) + L" theme" : L"");
            else if (key == L"Memo") grdMemo.setCellText(row, col, text, kMemoFlags);
            else if (key == L"EntryID") grdMemo.setCellText(row, col, id, DT_SINGLELINE);
        }
        SetColorMemo(row, theme);
        grdMemo.autoHeightRow(row);
    });
}

void ThemesPage::SetColorMemo(short row, const Variant& theme) {
    qualified(ctx_.qualified(L"SetColorMemo"), [&] {
        if (const COLORREF color = themeColor(wholeTheme(theme)); color != CLR_INVALID)
            grdMemo.setCellTextColor(row, kMemoColumn, color);
    });
}

void ThemesPage::cmdMakeRelationMemo_Click() {
    ctx_.window.event(L"cmdMakeRelationMemo_Click", [&] {
        memoDialog_.reset();  // each opening works on a fresh dialog
        memoDialog_ = std::make_unique<frmMemoRelation>();
        memoDialog_->oSelectedFile = ctx_.item;
        memoDialog_->SelectViewID = Variant(ctx_.viewId);
        ctx_.connection.pause();
        struct Resume {  // the watch goes on after a dialog that failed, too
            ConnectionWatch& watch;
            bool done = false;
            ~Resume() {
                if (!done) automation::ignoreFailure([&] { watch.resume(); });
            }
        } resume{ctx_.connection};
        ctx_.connection.aroundSuiteDialog([&] { memoDialog_->showModal(); });
        resume.done = true;
        ctx_.connection.resume();
        LoadMemoRelationed();
    });
}

// The grid is filled from the suite again, whether the deletion went through or not: a memo the
// suite kept stays in it.
void ThemesPage::cmdUnRelMemo_Click() {
    const auto failure = ctx_.window.eventFailure(L"cmdUnRelMemo_Click", [&] {
        const int row = grdMemo.selectedRow();
        if (row == 0) return;
        Object memo = createObject(contract::progid::Memo);
        memo.call(L"loaddata", {Variant(grdMemo.cell(row, kEntryColumn).text)});
        memo.call(L"DeleteByMemoId");
        LoadMemoRelationed();
    });
    if (failure && ctx_.window.isLoaded()) resync(*failure);
}

void ThemesPage::setHeights(const std::function<void(int)>& height) {
    ui::WaitCursor hourglass;
    grdMemo.setRedraw(false);
    struct Resume {
        ui::Grid& grid;
        ~Resume() { grid.setRedraw(true); }
    } resume{grdMemo};
    for (int row = 1; row <= grdMemo.rows(); ++row) height(row);
}

void ThemesPage::cmdSingleLine_Click() {
    ctx_.window.event(L"cmdSingleLine_Click", [&] {
        const int pixels = ::MulDiv(kSingleLineHeight, ctx_.window.dpi().y, 96);
        setHeights([&](int row) { grdMemo.setRowHeight(row, pixels); });
    });
}

void ThemesPage::cmdMultiLine_Click() {
    ctx_.window.event(L"cmdMultiLine_Click", [&] { setHeights([&](int row) { grdMemo.autoHeightRow(row); }); });
}

}  // namespace qb::windows
