// The Keywords page is one piece of code for every relation window: a second window, composed
// here from the same page under the names the server window gives its procedures, relates and
// unrelates against the suite and reports its failures under its own qualified names.
#include <gtest/gtest.h>

#include "in_process_suite.h"
#include "ui/window/form.h"
#include "windows/pages/keywords_page.h"

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
                          {L"LoadKeyWords", L"mnu_NewKeyword"}};

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
    window.keywords.pvtreeKeys.select(window.keywords.pvtreeKeys.find(L"111"));
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

}  // namespace
}  // namespace qb::testing
