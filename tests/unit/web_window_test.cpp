// The web page window against the stand-in suite in-process: what it does that the other windows
// do not (the loads of its first activation, its one memo filed in a category, "Ok" inserting,
// updating or deleting that memo, recommended keywords, the page's copy names).
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine.h"
#include "in_process_suite.h"
#include "windows/dialogs/copy_progress.h"
#include "windows/web/frm_relation_web.h"

namespace qb::testing {
namespace {

using windows::frmRelationWeb;
namespace fs = std::filesystem;

struct WebWindowTest : SeededSuite {
    fs::path downloads = fs::temp_directory_path() / ("qbwebdl-" + std::to_string(::GetCurrentProcessId()));
    AnsweringFileDialogs dialogs;
    StartedPrograms shell{playDownloader};
    support::ScopedServices seams{support::Services{
        .objects = nullptr, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = &shell, .files = &dialogs}};
    frmRelationWeb window;

    // Item 7 is the page http://example.test/news; view 1's categories three levels deep under
    // its root category 1000, one of view 2.
    void SetUp() override {
        SeededSuite::SetUp();
        fs::remove_all(downloads);
        fs::create_directories(downloads);
        db->exec(("UPDATE views SET ParentCategoryId = 1000 + ViewId - 1;"
                  "INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (7, 'News', 'http://example.test/news', 'Web');"
                  "INSERT INTO categories(CatId, CatName, ParentCategoryId, ViewId) VALUES (100, 'Company', 1000, 1),"
                  " (110, 'Sales', 100, 1), (111, 'Offers', 110, 1), (120, 'Legal', 100, 1), (130, 'Zoo', 1000, 1),"
                  " (200, 'Family', 1001, 2);"
                  "INSERT INTO settings(Name, Value) VALUES ('DownloadFolder', '" + narrow(downloads.wstring()) + "');").c_str());
        window.oFileSelected = page();
        window.strUrl = L"http://example.test/news";
    }
    void TearDown() override {
        window.unload();
        fs::remove_all(downloads);
        SeededSuite::TearDown();
    }
    static automation::Object page() {
        return automation::Object(automation::makeObject<tesra::ItemLoader>()).callObject(L"LoadFileWeb", {L"http://example.test/news", L"", false});
    }
    void open() {
        window.load();
        window.Form_Activate();
    }
    std::wstring memos() {
        return store.query("SELECT coalesce(group_concat(MemoText || '/' || MemoTheme || '/' || coalesce((SELECT group_concat(CatId) "
                           "FROM memo_categories c WHERE c.MemoId = m.MemoId), '-'), ' | '), '') FROM (SELECT * FROM memos "
                           "WHERE FileId = 7 ORDER BY MemoId) m");
    }
    void chooseCategory(const wchar_t* key) {
        window.memo.cmbFolders.select(window.memo.cmbFolders.find(key));
        window.memo.cmbFolders_Click();
    }
    void enable() {
        window.memo.chkMemo.setChecked(true);
        window.memo.chkMemo.onClick();
    }
};

TEST_F(WebWindowTest, TheFirstActivationLoadsOnceAndAProposedTextWithFunctionTagsIsDropped) {
    window.strMemo = L"<script>function tags() {}</script>";
    window.load();
    EXPECT_EQ(window.memo.txtMemo.text(), L"");
    EXPECT_FALSE(window.memo.chkMemo.checked());
    EXPECT_FALSE(window.memo.txtMemo.enabled());
    EXPECT_EQ(window.keywords.lstKeyRel.count(), 0) << "nothing loaded before the first activation";
    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (101, 7);");
    window.Form_Activate();
    EXPECT_EQ(window.keywords.lstKeyRel.count(), 1);
    EXPECT_EQ(window.cmdView.text(), L"Projects");
    EXPECT_EQ(window.memo.cboTheme.count(), 4);
    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (102, 7);");
    window.Form_Activate();
    EXPECT_EQ(window.keywords.lstKeyRel.count(), 1) << "a later activation loads nothing";
    window.CheckState1_ChangeView(1);
    EXPECT_EQ(window.memo.cboTheme.count(), 4) << "the themes are not appended again";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(WebWindowTest, TheCategoriesAreListedDepthFirstIndentedByLevelWhenTheThemesTabFirstShows) {
    open();
    EXPECT_EQ(window.memo.cmbFolders.count(), 0);
    window.RelationTab.select(frmRelationWeb::kThemesTab);
    auto& combo = window.memo.cmbFolders;
    std::wstring listed;
    for (int i = 0; i < combo.count(); ++i)
        listed += combo.itemKey(i) + L":" + combo.itemText(i) + L":" + std::to_wstring(combo.itemIndent(i)) + L" ";
    EXPECT_EQ(listed, L"C100:Company:1 C120:Legal:2 C110:Sales:2 C111:Offers:3 C130:Zoo:1 ");
    EXPECT_EQ(combo.selected(), 0);
    chooseCategory(L"C111");
    EXPECT_EQ(window.SelectedCatId, 111);
    EXPECT_FALSE(::IsWindowVisible(window.keywords.cmdUpdate.handle()) && window.isVisible());
}

// "Ok": the folder message when enabled without a category; an insert as typed with its filing; an
// update trimmed and refiled; a local copy turning an update into an insert; unchecked, a delete.
TEST_F(WebWindowTest, OkInsertsUpdatesOrDeletesThePagesMemo) {
    window.strMemo = L"  Read later ";
    open();
    EXPECT_FALSE(window.blnEditMemo);
    enable();
    window.cmdOk_Click();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].text, L"Please select a folder.");
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Zirerovu Rezad");
    EXPECT_EQ(window.RelationTab.selected(), frmRelationWeb::kThemesTab);
    EXPECT_TRUE(window.isLoaded());
    EXPECT_EQ(memos(), L"");

    chooseCategory(L"C110");
    window.memo.cboTheme.select(2);
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"  Read later /3/110") << "inserted as typed, filed";
    EXPECT_FALSE(window.isLoaded());

    open();  // the page has a memo now: shown, and Ok updates it
    EXPECT_TRUE(window.blnEditMemo);
    EXPECT_TRUE(window.memo.chkMemo.checked());
    EXPECT_EQ(window.memo.txtMemo.text(), L"  Read later ");
    EXPECT_EQ(window.memo.cboTheme.selected(), 2);
    window.RelationTab.select(frmRelationWeb::kThemesTab);
    window.memo.txtMemo.setText(L"  Read today  ");
    chooseCategory(L"C120");
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"Read today/3/120") << "updated trimmed, refiled";

    open();  // a local copy with the memo untouched: the copy is made, the memo stays as it is
    window.relate.chkLocalCopyDP.choose();
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"Read today/3/120") << "no second memo";
    ASSERT_EQ(shell.parameters.size(), 1u);
    EXPECT_EQ(shell.parameters[0], L"http://example.test/news | " + downloads.wstring() + L"\\PageCopy.htm")
        << "the address as it is; \"news\" has no dot";

    // Unchecked: asked first; No keeps it and the window, Yes deletes it.
    open();
    window.memo.chkMemo.setChecked(false);
    window.memo.chkMemo.onClick();
    window.cmdOk_Click();
    ASSERT_EQ(fakes.prompter.questions.size(), 1u);
    EXPECT_EQ(fakes.prompter.questions[0].flags & MB_DEFBUTTON2, static_cast<UINT>(MB_DEFBUTTON2)) << "No is the default";
    EXPECT_TRUE(window.isLoaded());
    EXPECT_NE(memos(), L"");
    fakes.prompter.answer = IDYES;
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"");
    EXPECT_FALSE(window.isLoaded());
}

// Ok stores what the window showed and the user changed, nothing else: a memo of another view or
// one whose load failed is never deleted, an Ok let through while the memo loads does nothing,
// and an untouched memo whose category or theme the lists do not hold stays as stored.
TEST_F(WebWindowTest, OkNeverDeletesOrRewritesAMemoTheWindowDidNotShowAsChanged) {
    fakes.prompter.answer = IDYES;
    db->exec("INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES (50, 7, 'Personal', '4', 2);"
             "INSERT INTO memo_categories(MemoId, CatId) VALUES (50, 200);");
    open();
    EXPECT_FALSE(window.memo.chkMemo.checked());
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"Personal/4/200") << "another view's memo";
    EXPECT_TRUE(fakes.prompter.questions.empty());

    db->exec("INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES (51, 7, 'Odd', 'x', 1);");
    open();
    EXPECT_EQ(fakes.prompter.boxes.size(), 1u) << "the load's failure is reported";
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"Personal/4/200 | Odd/x/-") << "a failed load stores nothing of the memo";

    db->exec("UPDATE memos SET MemoText = 'Lost', MemoTheme = '7' WHERE MemoId = 51;");
    window.load();
    ::PostMessageW(window.cmdOk.handle(), BM_CLICK, 0, 0);  // clicked while the page loads
    window.Form_Activate();
    EXPECT_TRUE(window.isLoaded()) << "the early Ok did nothing";
    window.RelationTab.select(frmRelationWeb::kThemesTab);
    EXPECT_EQ(window.memo.cboTheme.selected(), -1) << "no theme 7 in the list";
    EXPECT_EQ(window.memo.cmbFolders.selected(), -1) << "filed nowhere the list knows";
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"Personal/4/200 | Lost/7/-") << "untouched: not refiled, theme kept";
    EXPECT_EQ(fakes.prompter.boxes.size(), 1u) << "and no folder asked for";
}

// Cancel stores nothing and takes nothing away: the memo the window shows stays as stored,
// whatever was typed or unticked before.
TEST_F(WebWindowTest, CancelLeavesThePagesMemoAsStored) {
    fakes.prompter.answer = IDYES;
    db->exec("INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES (52, 7, 'Kept', '2', 1);"
             "INSERT INTO memo_categories(MemoId, CatId) VALUES (52, 110);");
    open();
    ASSERT_TRUE(window.memo.chkMemo.checked()) << "the memo is shown";
    window.memo.txtMemo.setText(L"Typed, then cancelled");
    window.memo.chkMemo.setChecked(false);
    window.memo.chkMemo.onClick();
    window.cmdCancel.press();
    EXPECT_FALSE(window.isLoaded());
    EXPECT_EQ(memos(), L"Kept/2/110");
}

// An Ok that failed part-way is finished by the next one, not repeated: the copy is not made
// again, and a memo whose filing failed is not stored half.
TEST_F(WebWindowTest, OkAgainAfterAFailureFinishesTheChangeWithoutRepeatingIt) {
    open();
    enable();
    window.memo.txtMemo.setText(L"Tender");
    window.RelationTab.select(frmRelationWeb::kThemesTab);
    chooseCategory(L"C120");
    window.relate.chkLocalCopyDP.choose();
    db->exec("DELETE FROM categories WHERE CatId = 120;");  // by another program
    window.cmdOk_Click();
    EXPECT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_TRUE(window.isLoaded());
    EXPECT_EQ(memos(), L"") << "no memo filed nowhere";
    chooseCategory(L"C110");
    window.cmdOk_Click();
    EXPECT_EQ(memos(), L"Tender/1/110");
    EXPECT_EQ(shell.started.size(), 1u) << "one copy";
    EXPECT_EQ(std::distance(fs::directory_iterator(downloads), fs::directory_iterator()), 1);
}

// A category filed under itself is listed once and reported once; a page name that is no file
// name is not proposed to the save dialog.
TEST_F(WebWindowTest, DamagedCategoriesAndAPageNameThatIsNoFileNameAreHandled) {
    db->exec("INSERT INTO categories(CatId, CatName, ParentCategoryId, ViewId) VALUES (1000, 'Loop', 1000, 1), (140, 'Ring', 141, 1),"
             " (141, 'Back', 140, 1); UPDATE categories SET ParentCategoryId = 141 WHERE CatId = 130;");
    open();
    window.RelationTab.select(frmRelationWeb::kThemesTab);
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_NE(fakes.prompter.boxes[0].text.find(L"filed under itself"), std::wstring::npos) << narrow(fakes.prompter.boxes[0].text);
    EXPECT_EQ(window.memo.cmbFolders.count(), 4) << "Company, Legal, Sales, Offers";
    window.CheckState1_ChangeView(1);
    EXPECT_EQ(fakes.prompter.boxes.size(), 1u) << "reported once";
    window.unload();

    for (const wchar_t* name : {L"Talk:Foo", L"page?id=3", L"a*b.html", L"CON", L"x.html"}) {
        const std::wstring address = L"http://example.test/wiki/" + std::wstring(name);
        db->exec(("UPDATE items SET FileCurrentPath = '" + narrow(address) + "' WHERE FileId = 7").c_str());
        window.oFileSelected =
            automation::Object(automation::makeObject<tesra::ItemLoader>()).callObject(L"LoadFileWeb", {address, L"", false});
        open();
        window.relate.chkLocalCopyOP.choose();
        window.cmdOk_Click();
    }
    EXPECT_EQ(dialogs.proposed, (std::vector<std::wstring>{L"PageCopy.htm", L"PageCopy.htm", L"PageCopy.htm", L"PageCopy.htm", L"x.html"}));
}

// What the user typed and did not store yet survives a change of view, and a rename shows in the
// caption.
TEST_F(WebWindowTest, TypedTextSurvivesAChangeOfViewAndARenameShowsInTheCaption) {
    open();
    enable();
    window.memo.txtMemo.setText(L"Call Tom");
    window.CheckState1_ChangeView(2);
    EXPECT_EQ(window.memo.txtMemo.text(), L"Call Tom");
    EXPECT_TRUE(window.memo.chkMemo.checked());
    window.setCaption(L"Relations - News");
    window.info.txtNameUpdate.setText(L"Daily news");
    window.info.cmdUpdateData_Click();
    EXPECT_EQ(window.caption(), L"Relations - Daily news");
}

// Another operation called from a message the window's load lets run (a host's timer) is refused:
// the window is never deleted under its own load.
TEST_F(WebWindowTest, AnOperationCalledWhileTheWindowLoadsIsRefused) {
    automation::Object engine(engine::createEngine());
    long refused = 0;
    windows::frmCopyProgress host;  // any window of ours: its posted call plays the host's timer
    host.load();
    host.post([&] {
        try {
            engine.call(L"ShowRelationWeb", {L"http://example.test/news", L"News"});
        } catch (const automation::ComError& e) {
            refused = e.number();
        }
    });
    fakes.modal.script = [&](ui::Form& form) { dynamic_cast<frmRelationWeb&>(form).cmdCancel_Click(); };
    engine.call(L"ShowRelationWeb", {L"http://example.test/news", L"News"});
    EXPECT_EQ(refused, 400);
    EXPECT_EQ(fakes.modal.shown, 1);
}

TEST_F(WebWindowTest, NewCategoryGoesUnderTheChosenOneOrTheViewsRootAndIsSelected) {
    open();
    window.RelationTab.select(frmRelationWeb::kThemesTab);
    window.memo.cmbFolders.select(-1);
    window.memo.cmbFolders_Click();
    ASSERT_EQ(window.SelectedCatId, 0);
    auto name = [](const wchar_t* text) {
        return [text](ui::Form& form) {
            auto& d = dynamic_cast<tesra::NewCategoryDialog&>(form);
            d.txtName.setText(text);
            ::SendMessageW(d.cmdOk.handle(), BM_CLICK, 0, 0);
        };
    };
    fakes.modal.script = name(L"Press");
    window.memo.cmdAddCategory_Click();
    EXPECT_EQ(store.query("SELECT ParentCategoryId FROM categories WHERE CatName = 'Press'"), L"1000") << "the view's root";
    const int press = window.memo.cmbFolders.find(L"C" + store.query("SELECT CatId FROM categories WHERE CatName = 'Press'"));
    ASSERT_GE(press, 0);
    EXPECT_EQ(window.memo.cmbFolders.selected(), press) << "listed and selected";

    chooseCategory(L"C110");
    fakes.modal.script = name(L"Tenders");
    window.memo.cmdAddCategory_Click();
    EXPECT_EQ(store.query("SELECT ParentCategoryId FROM categories WHERE CatName = 'Tenders'"), L"110");
    EXPECT_EQ(window.memo.cmbFolders.itemIndent(window.memo.cmbFolders.selected()), 3);

    // Cancelled after the dialog answered an object: its id is taken, the list is not rebuilt.
    chooseCategory(L"C111");
    const int entries = window.memo.cmbFolders.count();
    fakes.modal.script = [](ui::Form& form) { ::SendMessageW(dynamic_cast<tesra::NewCategoryDialog&>(form).cmdCancel.handle(), BM_CLICK, 0, 0); };
    window.memo.cmdAddCategory_Click();
    EXPECT_EQ(window.SelectedCatId, 111) << "the parent the suite answered";
    EXPECT_EQ(window.memo.cmbFolders.count(), entries);
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(WebWindowTest, TheSuitesRecommendedKeywordsAreRelatedOnceWhenTheHostAsks) {
    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (101, 7);");
    automation::Object engine(engine::createEngine());
    std::vector<std::wstring> listed;
    fakes.modal.script = [&](ui::Form& form) {
        auto& w = dynamic_cast<frmRelationWeb&>(form);
        w.Form_Activate();
        for (int i = 0; i < w.keywords.lstKeyRel.count(); ++i) listed.push_back(w.keywords.lstKeyRel.text(i));
        w.cmdCancel_Click();
    };
    engine.call(L"ShowRelationWeb", {L"http://example.test/news", L"News", L"Acme and Globex again", true});
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"Acme", L"Globex"}));
    EXPECT_EQ(store.query("SELECT count(*) FROM keyword_items WHERE FileId = 7"), L"2") << "Acme once";
    listed.clear();
    db->exec("DELETE FROM keyword_items WHERE FileId = 7;");
    engine.call(L"ShowRelationWeb", {L"http://example.test/news", L"News", L"Acme and Globex again", false});
    EXPECT_TRUE(listed.empty()) << "not asked: nothing related";
}

}  // namespace
}  // namespace qb::testing
