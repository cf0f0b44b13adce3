// The Keywords page's groups that are not opened yet: filled when opened, by the keyboard too,
// narrowed by the filter, and the keywords of other views read whole.
#include <gtest/gtest.h>

#include "in_process_suite.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

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
