// The relation window's Themes page against the stand-in suite running in-process: the memos of
// the item in the view in use, their theme pictures and colours, removing, and the row heights.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "in_process_suite.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using automation::ComError;
using windows::frmQuillbox;

constexpr COLORREF kGreen = 32768, kRed = 192, kOchre = RGB(153, 102, 0), kBlue = 12582912;

struct ThemesPageTest : SeededSuite {
    frmQuillbox window;

    // Item 1's memos in view 1 (themes 1 to 4, 7, 2.9, an empty text, a long one), one in view 2
    // and one of another item.
    void SetUp() override {
        SeededSuite::SetUp();
        db->exec("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (2, 'Other', 'C:\\o.txt', 'File');"
                 "INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES"
                 " (11, 1, 'Call the client', '1', 1), (12, 1, 'Overdue', '2', 1), (13, 1, 'Check & sign', '3', 1),"
                 " (14, 1, 'Archive', '4', 1), (15, 1, 'Odd theme', '7', 1), (16, 1, 'Fraction', '2.9', 1),"
                 " (17, 1, '', '1', 1),"
                 " (18, 1, 'A long memo that wraps over several lines of the memo column, so that its row is "
                 "much higher than the row of a memo of one word, as long as the rows are fitted to their text.', '4', 1),"
                 " (21, 1, 'Family matter', '1', 2), (31, 2, 'Not this item', '1', 1);");
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        window.m_UserFile = L"C:\\docs\\report.txt";
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
    ui::Grid& grid() { return window.themes.grdMemo; }
    std::wstring shownIds() {
        std::wstring s;
        for (int row = 1; row <= grid().rows(); ++row) s += (row > 1 ? L" " : L"") + grid().cell(row, 6).text;
        return s;
    }
    std::wstring storedIds(int view = 1) {
        return store.query(("SELECT coalesce(group_concat(MemoId, ' '), '') FROM (SELECT MemoId FROM memos "
                            "WHERE FileId = 1 AND ViewId = " + std::to_string(view) + " ORDER BY MemoId)").c_str());
    }
    int rowOf(const std::wstring& id) {
        for (int row = 1; row <= grid().rows(); ++row)
            if (grid().cell(row, 6).text == id) return row;
        return 0;
    }
};

TEST_F(ThemesPageTest, ListsTheItemsMemosOfTheViewWithTheThemesPictureAndColour) {
    window.load();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(shownIds(), L"11 12 13 14 15 16 17 18");
    const wchar_t* keys[] = {L"group1", L"group2", L"group3", L"Ico", L"Memo", L"EntryID"};
    const bool visible[] = {false, false, false, true, true, false};
    ASSERT_EQ(grid().columnCount(), 6);
    for (int col = 1; col <= 6; ++col) {
        EXPECT_EQ(grid().column(col).key, keys[col - 1]);
        EXPECT_EQ(grid().column(col).visible, visible[col - 1]) << col;
    }
    EXPECT_EQ(grid().column(5).header, L"Memo");

    struct Expected {
        const wchar_t* text;
        int icon;
        COLORREF color;
    };
    const Expected rows[] = {{L"...Call the client...", 0, kGreen}, {L"...Overdue...", 1, kRed},
                             {L"...Check & sign...", 2, kOchre},    {L"...Archive...", 3, kBlue},
                             {L"...Odd theme...", 6, CLR_DEFAULT},  {L"...Fraction...", 1, kRed},
                             {L"......", 0, kGreen}};
    for (int row = 1; row <= 7; ++row) {
        const Expected& e = rows[row - 1];
        EXPECT_EQ(grid().cell(row, 5).text, e.text) << row;
        EXPECT_EQ(grid().cell(row, 4).icon, e.icon) << row;
        EXPECT_EQ(grid().cell(row, 5).color, e.color) << row;
        EXPECT_EQ(grid().cell(row, 4).text, L"") << "the picture column shows no text";
        for (int col : {1, 2, 3}) EXPECT_EQ(grid().cell(row, col).text, L"");
    }
    EXPECT_EQ(grid().rowName(13 - 10), L"Ochre theme, ...Check & sign...") << "a screen reader hears the theme and the memo";
    EXPECT_GT(grid().rowHeight(8), 2 * grid().rowHeight(1)) << "a fresh fill fits the rows to their text";

    // Another view: its memos only.
    window.CheckState1_ChangeView(2);
    EXPECT_EQ(shownIds(), L"21");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(ThemesPageTest, AThemeThatIsNoNumberStopsTheFillAtItsRowAndTheRowsBeforeStay) {
    db->exec("UPDATE memos SET MemoTheme = 'high' WHERE MemoId = 14;");
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << "the load step reports it";
    EXPECT_EQ(shownIds(), L"11 12 13");
    try {
        window.LoadMemoRelationed();
        ADD_FAILURE() << "filled";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_NE(e.source().find(L"frmQuillbox.LoadItems()"), std::wstring::npos) << narrow(e.source());
        EXPECT_NE(e.source().find(L"frmQuillbox.LoadMemoRelationed()"), std::wstring::npos);
    }
    EXPECT_EQ(shownIds(), L"11 12 13");
}

// A load that stopped at such a memo: the window's other handlers still work, and a failure they
// meet again is reported and logged once.
TEST_F(ThemesPageTest, AfterALoadThatStoppedEarlyCreateWorksAndRemoveLogsOneBlock) {
    db->exec("UPDATE memos SET MemoTheme = 'high' WHERE MemoId = 14;");
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    auto blocks = [&] {
        const std::string log = fakes.logFile.read();
        size_t n = 0;
        for (size_t at = log.find(" -- ERROR --"); at != std::string::npos; at = log.find(" -- ERROR --", at + 1)) ++n;
        return n;
    };
    ASSERT_EQ(blocks(), 1u);

    // Create: the memo dialog opens (and is closed by the test's modal runner), nothing fails.
    window.themes.cmdMakeRelationMemo_Click();
    EXPECT_EQ(fakes.modal.shown, 1);
    ASSERT_EQ(fakes.prompter.boxes.size(), 2u) << "the refill meets the memo again";
    EXPECT_EQ(fakes.prompter.boxes[1].text.find(L"91"), std::wstring::npos);
    EXPECT_NE(fakes.logFile.read().find("frmQuillbox.cmdMakeRelationMemo_Click()"), std::string::npos);
    EXPECT_EQ(blocks(), 2u);

    grid().selectRow(rowOf(L"12"));
    window.themes.cmdUnRelMemo_Click();
    EXPECT_EQ(storedIds(), L"11 13 14 15 16 17 18");
    EXPECT_EQ(fakes.prompter.boxes.size(), 3u);
    EXPECT_EQ(blocks(), 3u) << "one failure, one log block:\n" << fakes.logFile.read();
    EXPECT_EQ(fakes.logFile.read().find("resync"), std::string::npos);
}

TEST_F(ThemesPageTest, RemoveDeletesTheSelectedMemoByItsIdAndRefillsFromTheSuite) {
    window.load();
    window.themes.cmdUnRelMemo_Click();  // nothing selected: nothing happens
    EXPECT_EQ(storedIds(), L"11 12 13 14 15 16 17 18");
    EXPECT_TRUE(fakes.prompter.boxes.empty());

    grid().selectRow(rowOf(L"13"));
    window.themes.cmdUnRelMemo_Click();
    EXPECT_EQ(storedIds(), L"11 12 14 15 16 17 18");
    EXPECT_EQ(shownIds(), storedIds());
    EXPECT_EQ(grid().selectedRow(), 0) << "a refilled grid has no row chosen";
    EXPECT_EQ(store.query("SELECT count(*) FROM memos WHERE MemoId = 21"), L"1") << "the other view's memo stays";

    // The suite refuses a deletion: reported once, and the memo is still listed because it is stored.
    db->exec("CREATE TRIGGER keep BEFORE DELETE ON memos WHEN old.MemoId = 15 BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    grid().selectRow(rowOf(L"15"));
    window.themes.cmdUnRelMemo_Click();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].caption, window.caption());
    EXPECT_NE(fakes.logFile.read().find("frmQuillbox.cmdUnRelMemo_Click()"), std::string::npos);
    EXPECT_EQ(shownIds(), storedIds());
    EXPECT_NE(rowOf(L"15"), 0);
}

TEST_F(ThemesPageTest, SingleLineSetsEveryRowToOneLineAndMultiLineFitsThemAgain) {
    window.load();
    std::vector<int> fitted;
    for (int row = 1; row <= grid().rows(); ++row) fitted.push_back(grid().rowHeight(row));
    window.themes.cmdSingleLine_Click();
    const int single = ::MulDiv(17, window.dpi().y, 96);
    for (int row = 1; row <= grid().rows(); ++row) EXPECT_EQ(grid().rowHeight(row), single) << row;
    window.themes.cmdMultiLine_Click();
    for (int row = 1; row <= grid().rows(); ++row) EXPECT_EQ(grid().rowHeight(row), fitted[row - 1]) << row;
    // The heights chosen last until the next fill, which fits the rows again.
    window.themes.cmdSingleLine_Click();
    window.LoadMemoRelationed();
    EXPECT_EQ(grid().rowHeight(8), fitted[7]);
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

}  // namespace
}  // namespace qb::testing
