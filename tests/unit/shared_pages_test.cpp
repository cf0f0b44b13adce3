// The Keywords page is one piece of code for every relation window: a second window, composed
// here from the same page under the names the server window gives its procedures, relates and
// unrelates against the suite and reports its failures under its own qualified names.
#include <gtest/gtest.h>

#include "in_process_suite.h"
#include "ui/window/form.h"
#include "windows/pages/keywords_page.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using windows::KeywordsPage;

// As small as a relation window can be: a caption, the Keywords page laid out its own way, a
// load step that fills the page.
class frmRelationServer final : public ui::Form {
public:
    automation::Object oFileSelected;
    short SelectedViewId = 1;
    std::wstring StartDrag;
    ui::Panel SSPanel2, SSPanel1;
    windows::ConnectionWatch CheckState1{*this, {}};
    KeywordsPage keywords{{*this, oFileSelected, SelectedViewId, StartDrag, CheckState1},
                          {.loadTree = L"LoadKeyWords"}};

    frmRelationServer() : Form({L"frmRelationServer", L"Relations", 5610, 4200, RGB(236, 236, 236)}) {
        place({{SSPanel2, {L"SSPanel2", L"All Keywords", {15, 15, 2700, 285}}},
               {keywords.pvtreeKeys, {L"pvtreeKeys", L"", {15, 330, 2700, 3300}}},
               {SSPanel1, {L"SSPanel1", L"Related keywords", {2820, 15, 2700, 285}}},
               {keywords.lstKeyRel, {L"lstKeyRel", L"", {2820, 330, 2700, 3300}}},
               {keywords.cmdUpdate, {L"cmdUpdate", L"Add/Edit keywords", {30, 3720, 1860, 270}}}});
    }

protected:
    void formLoad() override {
        event(L"Form_Load", [&] {
            keywords.prepare();
            keywords.LoadKWRelationed();
            keywords.LoadKeyWord();
        });
    }
    bool message(UINT msg, WPARAM, LPARAM, LRESULT& result) override { return keywords.dragMessage(msg, result); }
};

struct SharedPagesTest : SeededSuite {
    frmRelationServer window;
    void SetUp() override {
        SeededSuite::SetUp();
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
};

TEST_F(SharedPagesTest, TheSamePageWorksInAnotherWindow) {
    window.load();
    ASSERT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(listedIn(window.keywords), std::vector<std::wstring>{L"Acme"});
    EXPECT_EQ(placedIn(window.keywords, L"102"), L"Clients/Globex");
    window.keywords.pvtreeKeys.select(window.keywords.SearchNode(L"111"));
    window.keywords.pvtreeKeys_LButtonDblClick(window.keywords.pvtreeKeys.selected());
    EXPECT_EQ(stored(), L"101 111 201");
    window.keywords.startDragFromList(indexIn(window.keywords, L"Acme"));
    EXPECT_EQ(window.StartDrag, L"lstKeyRel") << "the drag origin is the window's own member";
    window.keywords.pvtreeKeys_OLEDragDrop();
    EXPECT_EQ(stored(), L"111 201");
}

TEST_F(SharedPagesTest, HandlersReportUnderTheWindowsOwnNames) {
    window.load();
    // Acme is removed behind the window's back: unrelating it finds no keyword.
    db->exec("PRAGMA foreign_keys=OFF; DELETE FROM keywords WHERE KeyId = 101;");
    window.keywords.lstKeyRel.select(indexIn(window.keywords, L"Acme"));
    window.keywords.lstKeyRel_DblClick();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Relations");
    EXPECT_NE(fakes.prompter.boxes[0].text.find(L" frmRelationServer.Unrelation() "), std::wstring::npos)
        << fakes.prompter.boxes[0].text;
    std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmRelationServer.Unrelation()   frmRelationServer.lstKeyRel_DblClick() \r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("frmQuillbox"), std::string::npos);
}

TEST_F(SharedPagesTest, ProceduresCarryTheNamesTheWindowGivesThem) {
    db->exec("DROP TABLE groups;");  // the tree's rebuild cannot read the view's groups
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmRelationServer.LoadKeyWords()   frmRelationServer.Form_Load() \r\n"), std::string::npos)
        << log;
}

// The tree holds a group's keywords once the group is opened. Group 13 ("Later": Yankee, Zulu in
// the suite's order) comes after the first group, so it starts closed; Yankee is related to the
// item.
struct UnopenedGroupTest : SeededSuite {
    windows::frmQuillbox window;
    void SetUp() override {
        SeededSuite::SetUp();
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        window.m_UserFile = L"C:\\docs\\report.txt";
        db->exec("INSERT INTO groups(GroupId, GroupName, ViewId) VALUES (13, 'Later', 1);"
                 "INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) VALUES (113, 'Zulu', 13, 1), (114, 'Yankee', 13, 1);"
                 "INSERT INTO keyword_items(KeyId, FileId) VALUES (114, 1);");
        window.load();
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
    HTREEITEM later() { return window.keywords.pvtreeKeys.find(L"Group-13"); }
    std::vector<std::wstring> childrenOf(HTREEITEM group) {
        std::vector<std::wstring> out;
        auto& tree = window.keywords.pvtreeKeys;
        for (HTREEITEM c = TreeView_GetChild(tree.handle(), group); c; c = TreeView_GetNextSibling(tree.handle(), c))
            out.push_back(tree.text(c));
        return out;
    }
    bool hasButton(HTREEITEM node) {
        TVITEMW item{TVIF_CHILDREN};
        item.hItem = node;
        TreeView_GetItem(window.keywords.pvtreeKeys.handle(), &item);
        return item.cChildren != 0;
    }
};

TEST_F(UnopenedGroupTest, AKeywordUnrelatedIntoAClosedGroupShowsLastWhenItOpensAndCanBeRelatedAgain) {
    auto& page = window.keywords;
    ASSERT_NE(later(), nullptr);
    EXPECT_EQ(page.pvtreeKeys.find(L"113"), nullptr) << "no node before the group opens";
    EXPECT_TRUE(page.ExistNode(L"113")) << "but the tree offers it";
    EXPECT_FALSE(page.ExistNode(L"114")) << "a related keyword is not offered";
    EXPECT_TRUE(hasButton(later()));

    page.lstKeyRel.select(indexIn(page, L"Yankee"));
    page.lstKeyRel_DblClick();
    EXPECT_EQ(stored(), L"101 201");
    EXPECT_EQ(page.pvtreeKeys.find(L"114"), nullptr) << "still closed";
    TreeView_Expand(page.pvtreeKeys.handle(), later(), TVE_EXPAND);
    EXPECT_EQ(childrenOf(later()), (std::vector<std::wstring>{L"Zulu", L"Yankee"})) << "put back last";

    for (const wchar_t* key : {L"114", L"113"}) {
        page.pvtreeKeys.select(page.pvtreeKeys.find(key));
        page.pvtreeKeys_LButtonDblClick(page.pvtreeKeys.selected());
    }
    EXPECT_EQ(stored(), L"101 113 114 201");
    EXPECT_NE(later(), nullptr) << "a group without keywords keeps its node";
    EXPECT_TRUE(childrenOf(later()).empty());
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(UnopenedGroupTest, TheFilterLeavesClosedGroupsThatHoldMatchesOnly) {
    auto& page = window.keywords;
    page.txtFilter.setText(L"ZUL");
    EXPECT_NE(later(), nullptr);
    EXPECT_EQ(page.pvtreeKeys.find(L"Group-12"), nullptr) << "no match, no group";
    EXPECT_TRUE(page.ExistNode(L"113"));
    EXPECT_FALSE(page.ExistNode(L"102"));
    page.txtFilter.setText(L"e");
    EXPECT_EQ(later(), nullptr) << "Yankee is related, Zulu has no e";
    page.txtFilter.setText(L"u");
    ASSERT_NE(later(), nullptr);
    TreeView_Expand(page.pvtreeKeys.handle(), later(), TVE_EXPAND);
    EXPECT_EQ(childrenOf(later()), std::vector<std::wstring>{L"Zulu"});
    page.txtFilter.setText(L"");
    EXPECT_NE(page.pvtreeKeys.find(L"Group-12"), nullptr);
    EXPECT_EQ(page.pvtreeKeys.find(L"113"), nullptr) << "built again: closed again";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(UnopenedGroupTest, TheKeyboardOpensAGroupAndFillsIt) {
    auto& tree = window.keywords.pvtreeKeys;
    tree.select(later());
    tree.setFocus();
    ::SendMessageW(tree.handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(childrenOf(later()), std::vector<std::wstring>{L"Zulu"});
    ::SendMessageW(tree.handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(tree.selected(), tree.find(L"113")) << "and goes into it";
    ::SendMessageW(tree.handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(stored(), L"101 113 114 201");
}

// An item related to many keywords of another view: that view's keywords are read whole, none of
// them is shown or lost, and a relation to a keyword that is gone is still reported.
TEST_F(UnopenedGroupTest, ManyRelationsToAnotherViewAreReadWithThatViewAndAGoneKeywordIsReported) {
    window.unload();
    db->exec("PRAGMA foreign_keys=OFF;"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)"
             " INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) SELECT 3000 + i, 'Far ' || i, 20, 2 FROM n;"
             "INSERT INTO keyword_items(KeyId, FileId) SELECT KeyId, 1 FROM keywords WHERE KeyId > 3000;"
             "INSERT INTO keyword_items(KeyId, FileId) VALUES (999, 1);");
    RecordedCalls calls(suiteObjects);
    window.load();
    EXPECT_EQ(listedIn(window.keywords), (std::vector<std::wstring>{L"Acme", L"Yankee"}));
    EXPECT_EQ(calls.count(L"Tesra.KeyWord.GetOneById()"), 1u) << "only the keyword found in no view";
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << "the gone keyword";
    EXPECT_EQ(store.query("SELECT count(*) FROM keyword_items WHERE FileId = 1"), L"44");
}

}  // namespace
}  // namespace qb::testing
