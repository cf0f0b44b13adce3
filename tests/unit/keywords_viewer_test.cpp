// The related-keywords viewer against the stand-in suite in-process: which keywords it lists, in
// which order, and what a relation to a keyword that is gone does to it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "in_process_suite.h"
#include "windows/dialogs/keywords_viewer.h"

namespace qb::testing {
namespace {

using windows::frmKeyWords;

struct KeywordsViewerTest : SeededSuite {
    frmKeyWords viewer;

    void SetUp() override {
        SeededSuite::SetUp();
        viewer.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        viewer.intSelectedViewId = 1;
    }
    void TearDown() override {
        viewer.unload();
        SeededSuite::TearDown();
    }
    // "name#tag" per row, top to bottom.
    std::vector<std::wstring> rows() {
        std::vector<std::wstring> out;
        for (int i = 0; i < viewer.lstKeyRel.count(); ++i)
            out.push_back(viewer.lstKeyRel.text(i) + L"#" + std::to_wstring(viewer.lstKeyRel.tag(i)));
        return out;
    }
};

TEST_F(KeywordsViewerTest, ListsTheViewsKeywordsInTheOrderOfTheRelations) {
    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (131, 1), (202, 1), (102, 1);");
    viewer.load();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(viewer.caption(), L"Relations");
    EXPECT_EQ(rows(), (std::vector<std::wstring>{L"Acme#101", L"Urgent#131", L"Globex#102"}))
        << "another view's keywords are skipped; the suite's order is kept";
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    ASSERT_TRUE(ListView_GetItem(viewer.lstKeyRel.handle(), &item));
    EXPECT_GE(item.iImage, 0) << "each row has the keyword picture";

    viewer.intSelectedViewId = 2;
    viewer.LoadKWRelationed();
    viewer.LoadKWRelationed();
    EXPECT_EQ(rows(), (std::vector<std::wstring>{L"Holidays#201", L"School#202"})) << "loaded twice, listed once";
}

TEST_F(KeywordsViewerTest, ARelationToAKeywordThatIsGoneIsReportedOnceWithTheRowsBeforeItKept) {
    db->exec("PRAGMA foreign_keys=OFF; INSERT INTO keyword_items(KeyId, FileId) VALUES (999, 1), (102, 1);");
    viewer.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmKeyWords.LoadKWRelationed()   frmKeyWords.Form_Load() \r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find(" -- ERROR --"), log.rfind(" -- ERROR --")) << "one log block";
    EXPECT_EQ(rows(), std::vector<std::wstring>{L"Acme#101"});
    EXPECT_TRUE(viewer.isLoaded()) << "the window still opens; Ok closes it";
    viewer.cmdOk.press();
    EXPECT_FALSE(viewer.isLoaded());
}

TEST_F(KeywordsViewerTest, OkAndEscCloseTheViewer) {
    viewer.load();
    ::SendMessageW(viewer.cmdOk.handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(viewer.isLoaded());
    viewer.load();
    MSG esc{viewer.lstKeyRel.handle(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    ::IsDialogMessageW(viewer.handle(), &esc);
    EXPECT_FALSE(viewer.isLoaded()) << "Esc";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

}  // namespace
}  // namespace qb::testing
