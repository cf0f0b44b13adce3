// The window layer's grid: rows that fit their wrapped text, keys and mouse as in a list view,
// scrolling, and what a screen reader finds in it.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "automation/com_ptr.h"
#include "fakes.h"
#include "ui/controls/grid.h"
#include "ui/window/form.h"

namespace qb::testing {
namespace {

using automation::ComError;

class GridForm final : public ui::Form {
public:
    ui::Grid grid;
    ui::Button cmdOk;
    GridForm() : Form({L"frmGrid", L"Grid test", 6000, 4000, RGB(224, 224, 224)}) {
        place({{grid, {L"grid", L"", {120, 120, 5000, 3000}, 0, {}, L"Notes"}},
               {cmdOk, {L"cmdOk", L"Ok", {4800, 3300, 1100, 375}}}});
    }
};

constexpr wchar_t kLong[] =
    L"A memo long enough to wrap over several lines of a narrow column: the grid measures it with the "
    L"font it shows it in, and the row grows to show every line of it without cutting a word in half.";

struct GridTest : ::testing::Test {
    FakeSuite fakes;
    GridForm form;
    ui::Grid& grid = form.grid;
    int chosen = 0, doubleClicks = 0;

    void SetUp() override {
        form.load();
        ::ShowWindow(form.handle(), SW_SHOW);
        grid.onSelectionChange = [this] { ++chosen; };
        grid.onDoubleClick = [this] { ++doubleClicks; };
        grid.addColumn({L"hidden", L"", DT_LEFT, -1, 40, false});
        grid.addColumn({L"Ico", L"", DT_RIGHT, -1, 20, true});
        grid.addColumn({L"Text", L"Text", DT_LEFT, -1, 100, true});
    }
    void TearDown() override { form.unload(); }
    int addRow(const std::wstring& text, bool fit = true) {
        const int row = grid.addRow();
        grid.setCellText(row, 1, L"hidden " + std::to_wstring(row), DT_SINGLELINE);
        grid.setCellText(row, 3, text, DT_WORDBREAK | DT_END_ELLIPSIS | DT_MODIFYSTRING);
        if (fit) grid.autoHeightRow(row);
        return row;
    }
    void fill(int rows) {
        for (int i = 1; i <= rows; ++i) addRow(L"row " + std::to_wstring(i));
    }
    RECT client() {
        RECT rc;
        ::GetClientRect(grid.handle(), &rc);
        return rc;
    }
    bool shown(int row) {
        RECT r = grid.rowRect(row), c = client();
        return r.top >= 0 && r.bottom <= c.bottom && r.bottom > r.top;
    }
    void key(WPARAM vk) { ::SendMessageW(grid.handle(), WM_KEYDOWN, vk, 0); }
    void click(int row, UINT msg = WM_LBUTTONDOWN) {
        RECT r = grid.rowRect(row);
        ::SendMessageW(grid.handle(), msg, MK_LBUTTON, MAKELPARAM(r.left + 30, (r.top + r.bottom) / 2));
    }
};

TEST_F(GridTest, FittedRowsFollowTheirTextAndFixedRowsKeepTheirHeight) {
    const int oneLine = addRow(L"short"), wrapped = addRow(kLong), empty = addRow(L"");
    EXPECT_GT(grid.rowHeight(wrapped), 3 * grid.rowHeight(oneLine) - 6) << "the long text wraps over several lines";
    EXPECT_EQ(grid.rowHeight(empty), grid.rowHeight(oneLine)) << "an empty row is one line high";
    EXPECT_EQ(grid.cell(wrapped, 3).text, kLong) << "the shortening flags never change the stored text";

    grid.setRowHeight(oneLine, 17);
    const int before = grid.rowHeight(wrapped);
    // A larger font: fitted rows are measured again; the fixed one keeps its height.
    LOGFONTW lf{};
    lf.lfHeight = -28;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    UniqueFont big(::CreateFontIndirectW(&lf));
    ::SendMessageW(grid.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(big.get()), TRUE);
    EXPECT_GT(grid.rowHeight(wrapped), before);
    EXPECT_EQ(grid.rowHeight(oneLine), 17);
    ::SendMessageW(grid.handle(), WM_SETFONT, 0, FALSE);  // before the font goes

    // Narrower: the last visible column is what the others leave, so the text wraps more.
    const int atWidth = grid.rowHeight(wrapped);
    RECT r = client();
    ::SetWindowPos(grid.handle(), nullptr, 0, 0, r.right / 2, r.bottom, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(grid.rowHeight(wrapped), atWidth);
}

TEST_F(GridTest, KeysAndMouseChooseRowsAndKeepTheChosenRowInView) {
    fill(60);
    grid.setFocus();
    key(VK_DOWN);
    EXPECT_EQ(grid.selectedRow(), 1) << "the first arrow chooses the first row";
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_UP);
    EXPECT_EQ(grid.selectedRow(), 2);
    key(VK_END);
    EXPECT_EQ(grid.selectedRow(), 60);
    EXPECT_TRUE(shown(60));
    EXPECT_FALSE(shown(1));
    key(VK_HOME);
    EXPECT_EQ(grid.selectedRow(), 1);
    EXPECT_TRUE(shown(1));
    key(VK_NEXT);
    const int page = grid.selectedRow();
    EXPECT_GT(page, 5) << "a page down moves by what the grid shows";
    EXPECT_TRUE(shown(page));
    key(VK_PRIOR);
    EXPECT_EQ(grid.selectedRow(), 1);
    EXPECT_EQ(chosen, 8) << "every move by the user tells; staying on a row does not";
    key(VK_UP);
    EXPECT_EQ(chosen, 8);

    click(4);
    EXPECT_EQ(grid.selectedRow(), 4);
    EXPECT_EQ(doubleClicks, 0);
    click(4, WM_LBUTTONDBLCLK);
    EXPECT_EQ(doubleClicks, 1);
    // Below the last row: nothing is chosen and nothing is opened.
    grid.clear();
    addRow(L"only");
    RECT c = client();
    ::SendMessageW(grid.handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, c.bottom - 3));
    EXPECT_EQ(grid.selectedRow(), 0);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(GridTest, TheWheelAndTheScrollBarMoveTheRowsWithinTheirRange) {
    fill(60);
    const LONG top = grid.rowRect(1).top;
    ::SendMessageW(grid.handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_LT(grid.rowRect(1).top, top);
    ::SendMessageW(grid.handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_TRUE(shown(60));
    EXPECT_LE(grid.rowRect(60).bottom, client().bottom);
    EXPECT_GT(grid.rowRect(60).bottom, client().bottom - 20) << "no empty space scrolled in below the last row";
    ::SendMessageW(grid.handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * 100)), 0);
    EXPECT_EQ(grid.rowRect(1).top, top) << "back at the top, and not beyond";
    // Emptied: nothing left to scroll.
    grid.clear();
    SCROLLINFO si{sizeof si, SIF_ALL};
    ::GetScrollInfo(grid.handle(), SB_VERT, &si);
    EXPECT_EQ(si.nPos, 0);
    EXPECT_LE(si.nMax, static_cast<int>(si.nPage));
}

}  // namespace
}  // namespace qb::testing
