// The memo dialog opened from the relation window's Themes page, against the stand-in suite in
// this process: the suite's category tree hosted as an ActiveX control, the theme list, the
// placeholder, storing and filing the memo, and what happens when the suite refuses.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "in_process_suite.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using windows::frmMemoRelation;
using windows::frmQuillbox;

// Categories of view 1 three levels deep, and one of view 2.
constexpr char kCategories[] = R"sql(
INSERT INTO categories(CatId, CatName, ParentCategoryId, ViewId) VALUES
  (100, 'Company', 0, 1), (110, 'Sales', 100, 1), (111, 'Offers', 110, 1), (120, 'Engineering', 100, 1),
  (130, 'Archive', 0, 1), (200, 'Family', 0, 2);
)sql";

// The suite, but for the one ProgID a test makes unavailable.
struct WithoutOne final : automation::ObjectFactory {
    automation::ObjectFactory& suite;
    std::wstring missing;
    explicit WithoutOne(automation::ObjectFactory& s) : suite(s) {}
    automation::Object create(std::wstring_view progId) override {
        if (progId == missing) throw automation::ComError::runtime(automation::err::CantCreateObject);
        return suite.create(progId);
    }
};

struct MemoDialogTest : SeededSuite {
    WithoutOne objects{suiteObjects};
    support::ScopedServices seams{support::Services{.objects = &objects, .prompter = nullptr, .modal = nullptr, .logFile = {}}};
    frmQuillbox window;
    std::function<void(frmMemoRelation&)> user;  // what the user does in the dialog; it must close it

    void SetUp() override {
        SeededSuite::SetUp();
        db->exec(kCategories);
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        window.load();
        fakes.modal.script = [this](ui::Form& form) {
            auto& dialog = dynamic_cast<frmMemoRelation&>(form);
            ASSERT_TRUE(dialog.isLoaded());
            user(dialog);
            if (dialog.isLoaded()) dialog.cmdExit.press();  // a test that stops early still closes it
        };
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
    static HWND tree(frmMemoRelation& d) {
        return ::FindWindowExW(d.TreeCategory1.controlWindow(), nullptr, WC_TREEVIEWW, nullptr);
    }
    static std::wstring text(HWND t, HTREEITEM n) {
        wchar_t buf[128] = {};
        TVITEMW item{TVIF_TEXT, n};
        item.pszText = buf;
        item.cchTextMax = 128;
        TreeView_GetItem(t, &item);
        return buf;
    }
    // The tree's nodes, depth first, each indented by its depth: "Projects>Company>>Sales".
    static std::wstring outline(HWND t) {
        std::wstring s;
        std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM n, int depth) {
            for (; n; n = TreeView_GetNextSibling(t, n)) {
                s += std::wstring(static_cast<size_t>(depth), L'>') + text(t, n) + L"|";
                walk(TreeView_GetChild(t, n), depth + 1);
            }
        };
        walk(TreeView_GetRoot(t), 0);
        return s;
    }
    // Chooses the node of that name as a click would.
    static void choose(frmMemoRelation& d, const std::wstring& name) {
        HWND t = tree(d);
        std::function<HTREEITEM(HTREEITEM)> find = [&](HTREEITEM n) -> HTREEITEM {
            for (; n; n = TreeView_GetNextSibling(t, n)) {
                if (text(t, n) == name) return n;
                if (HTREEITEM c = find(TreeView_GetChild(t, n))) return c;
            }
            return nullptr;
        };
        HTREEITEM node = find(TreeView_GetRoot(t));
        ASSERT_NE(node, nullptr) << narrow(name);
        TreeView_SelectItem(t, node);
    }
    static void typeKey(frmMemoRelation& d, WPARAM vk) { ::SendMessageW(d.txtMemoFile.handle(), WM_KEYDOWN, vk, 0); }
    static void chooseTheme(frmMemoRelation& d, int index) {
        d.cboTheme.select(index);
        ::SendMessageW(d.handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(d.cboTheme.handle()), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(d.cboTheme.handle()));
    }
    std::wstring memos() {
        return store.query("SELECT coalesce(group_concat(MemoText || '/' || MemoTheme || '/' || MemoFlag || '/' || ViewId, ' | '), '') "
                           "FROM (SELECT * FROM memos WHERE FileId = 1 ORDER BY MemoId)");
    }
};

TEST_F(MemoDialogTest, AMemoWrittenWithAThemeAndACategoryIsStoredFiledAndListedInItsColour) {
    user = [](frmMemoRelation& d) {
        EXPECT_EQ(d.caption(), L"Theme");
        EXPECT_EQ(d.txtMemoFile.text(), frmMemoRelation::kPlaceholder);
        EXPECT_EQ(d.txtMemoFile.foreColor(), 32768u);
        EXPECT_EQ(outline(tree(d)), L"Projects|>Archive|>Company|>>Engineering|>>Sales|>>>Offers|")
            << "the view's categories, any depth, expanded";
        HTREEITEM company = TreeView_GetNextSibling(tree(d), TreeView_GetChild(tree(d), TreeView_GetRoot(tree(d))));
        EXPECT_EQ(text(tree(d), company), L"Company");
        EXPECT_TRUE(TreeView_GetItemState(tree(d), company, TVIS_EXPANDED) & TVIS_EXPANDED) << "expanded at the end of the load";
        typeKey(d, 'C');
        EXPECT_EQ(d.txtMemoFile.text(), L"") << "the first key takes the placeholder away";
        d.txtMemoFile.setText(L"Call Ann & Bob");
        typeKey(d, 'X');
        EXPECT_EQ(d.txtMemoFile.text(), L"Call Ann & Bob") << "later keys leave the text";
        chooseTheme(d, 1);
        EXPECT_EQ(d.txtMemoFile.foreColor(), 192u);
        choose(d, L"Offers");
        EXPECT_EQ(d.selectCatId, 111);
        d.cmdOk.press();
        EXPECT_FALSE(d.isLoaded()) << "Ok closes the dialog once the memo is stored";
    };
    window.themes.cmdMakeRelationMemo_Click();
    EXPECT_TRUE(fakes.prompter.boxes.empty()) << narrow(fakes.prompter.boxes.empty() ? L"" : fakes.prompter.boxes[0].text);
    EXPECT_EQ(memos(), L"Call Ann & Bob/2/NO/1");
    const std::wstring id = store.query("SELECT MemoId FROM memos WHERE FileId = 1");
    EXPECT_EQ(store.query(("SELECT CatId FROM memo_categories WHERE MemoId = " + narrow(id)).c_str()), L"111");
    // The grid was filled again: the new memo in red.
    ASSERT_EQ(window.themes.grdMemo.rows(), 1);
    EXPECT_EQ(window.themes.grdMemo.cell(1, 5).text, L"...Call Ann & Bob...");
    EXPECT_EQ(window.themes.grdMemo.cell(1, 5).color, 192u);
    EXPECT_EQ(window.themes.grdMemo.cell(1, 6).text, id);
}

TEST_F(MemoDialogTest, WithoutACategoryOkAsksForOneAndStoresNothing) {
    user = [this](frmMemoRelation& d) {
        d.cmdOk.press();
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
        EXPECT_EQ(fakes.prompter.boxes[0].text, L"Please select a folder.");
        EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Zirerovu Rezad");
        EXPECT_EQ(fakes.prompter.boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_TRUE(d.isLoaded());
        // A category, then the view itself (no category): no choice again.
        choose(d, L"Sales");
        EXPECT_EQ(d.selectCatId, 110);
        choose(d, L"Projects");
        EXPECT_EQ(d.selectCatId, 0);
        d.cmdOk.press();
        EXPECT_EQ(fakes.prompter.boxes.size(), 2u);
        d.cmdExit.press();
    };
    window.themes.cmdMakeRelationMemo_Click();
    EXPECT_EQ(memos(), L"");
    EXPECT_EQ(store.query("SELECT count(*) FROM memo_categories"), L"0");
}

TEST_F(MemoDialogTest, TheThemeListHoldsThemesOneToFourInTheSuitesOrderAndNeverTypingStoresThePlaceholder) {
    db->exec("DELETE FROM themes WHERE ThemeId = 4; INSERT INTO themes(ThemeId, ThemeName) VALUES (5, 'Extra'), (0, 'None');");
    user = [](frmMemoRelation& d) {
        ASSERT_EQ(d.cboTheme.count(), 3);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(d.cboTheme.itemPicture(i), i + 1);
        EXPECT_EQ(d.cboTheme.itemText(0), L"Green");
        EXPECT_EQ(d.cboTheme.selected(), 0);
        chooseTheme(d, 2);
        choose(d, L"Archive");
        d.cmdOk.press();
    };
    window.themes.cmdMakeRelationMemo_Click();
    EXPECT_EQ(memos(), L"Type the text here\u2026/3/NO/1");
    EXPECT_EQ(frmMemoRelation::CleanText(L"a\r\nb\nc\rd"), L"abcd");
}

TEST_F(MemoDialogTest, AFilingTheSuiteRefusesIsReportedTheMemoStaysAndTheDialogStaysOpen) {
    db->exec("CREATE TRIGGER refuse BEFORE INSERT ON memo_categories BEGIN SELECT RAISE(ABORT, 'no filing'); END;");
    user = [this](frmMemoRelation& d) {
        typeKey(d, 'A');
        d.txtMemoFile.setText(L"Kept");
        choose(d, L"Company");
        d.cmdOk.press();
        EXPECT_TRUE(d.isLoaded());
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
        EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Theme");
        EXPECT_NE(fakes.logFile.read().find("frmMemoRelation.cmdOk_Click()"), std::string::npos);
        d.cmdExit.press();
    };
    window.themes.cmdMakeRelationMemo_Click();
    EXPECT_EQ(memos(), L"Kept/1/NO/1");
    EXPECT_EQ(window.themes.grdMemo.rows(), 1) << "the stored memo is listed";
}

TEST_F(MemoDialogTest, WithoutTheSuitesCategoryTreeTheLoadReportsAndCancelStillCloses) {
    objects.missing = windows::kCategoryTreeProgId;
    user = [this](frmMemoRelation& d) {
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
        EXPECT_NE(fakes.logFile.read().find("frmMemoRelation.Form_Load()"), std::string::npos);
        EXPECT_FALSE(d.TreeCategory1.active());
        EXPECT_EQ(d.cboTheme.count(), 4) << "what was loaded before the tree stays";
        d.cmdOk.press();
        EXPECT_EQ(fakes.prompter.boxes.back().text, L"Please select a folder.");
        d.cmdExit.press();
        EXPECT_FALSE(d.isLoaded());
    };
    window.themes.cmdMakeRelationMemo_Click();
    EXPECT_EQ(memos(), L"");
    EXPECT_EQ(fakes.modal.shown, 1);
}

TEST_F(MemoDialogTest, AChangeOfConnectionStateClosesTheDialogWithItsMessageAndStoresNothing) {
    user = [this](frmMemoRelation& d) {
        typeKey(d, 'Q');
        choose(d, L"Sales");
        db->exec("INSERT OR REPLACE INTO settings(Name, Value) VALUES ('StateConnection', '0')");
        for (int i = 0; i < 300 && d.isLoaded(); ++i) {
            MSG m;
            while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
            ::Sleep(10);
        }
        EXPECT_FALSE(d.isLoaded()) << "the dialog closes";
    };
    window.themes.cmdMakeRelationMemo_Click();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].text,
              L"Your connection with Vellumdex Server to changed state, because of it this window will be closed.");
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Vellumdex");
    EXPECT_EQ(memos(), L"");
    // The window's own watch was stopped meanwhile and starts afresh: it stays open.
    for (int i = 0; i < 50; ++i) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
        ::Sleep(10);
    }
    EXPECT_TRUE(window.isLoaded());
    EXPECT_EQ(fakes.prompter.boxes.size(), 1u);
}

}  // namespace
}  // namespace qb::testing
