// The relation window's keyword tab against the stand-in suite running in-process over a database
// of the test's own: controls and stored relations are checked after every move.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <windows.h>
#include <commctrl.h>

#include "choosers.h"
#include "in_process_suite.h"
#include "support/settings.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using windows::frmQuillbox;

// The stand-in suite in-process over a seeded database of the test's own, with frmQuillbox on it.
struct RelationWindowTest : SeededSuite {
    frmQuillbox window;

    void SetUp() override {
        SeededSuite::SetUp();
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        window.m_UserFile = L"C:\\docs\\report.txt";
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
    std::vector<std::wstring> listed() { return listedIn(window.keywords); }
    std::wstring placed(const std::wstring& key) { return placedIn(window.keywords, key); }
    int indexOf(const std::wstring& text) { return indexIn(window.keywords, text); }
};

TEST_F(RelationWindowTest, LoadShowsTheViewsKeywordsGroupedAndTheRelatedOnesApart) {
    window.load();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    EXPECT_EQ(window.cmdView.text(), L"Projects");
    EXPECT_EQ(window.ssTab.selected(), 2);
    EXPECT_EQ(window.info.txtNameUpdate.text(), L"Report");
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"Acme"}) << "a relation to another view's keyword is not shown";
    EXPECT_EQ(placed(L"101"), L"<none>") << "related keywords never show in the tree";
    EXPECT_EQ(placed(L"102"), L"Clients/Globex");
    EXPECT_EQ(placed(L"111"), L"Status/Draft");
    EXPECT_EQ(placed(L"131"), L"/Urgent") << "group 0: under the root";
    EXPECT_EQ(placed(L"132"), L"/Orphan") << "a vanished group: under the root";
    EXPECT_EQ(placed(L"Group-12"), L"/Empty") << "a group without keywords still shows";
    EXPECT_EQ(window.keywords.pvtreeKeys.tag(window.keywords.pvtreeKeys.find(L"Group-10")), L"Group");
    EXPECT_EQ(window.keywords.SearchNode(L"201"), nullptr);
}

TEST_F(RelationWindowTest, DoubleClicksAndKeysRelateAndUnrelate) {
    window.load();
    auto& tree = window.keywords.pvtreeKeys;
    tree.select(window.keywords.SearchNode(L"102"));
    window.keywords.pvtreeKeys_LButtonDblClick(tree.selected());
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Acme", L"Globex"}));
    EXPECT_EQ(placed(L"102"), L"<none>");
    EXPECT_EQ(stored(), L"101 102 201");

    tree.select(tree.find(L"Group-11"));
    window.keywords.pvtreeKeys_LButtonDblClick(tree.selected());
    EXPECT_EQ(stored(), L"101 102 201") << "a group cannot be related";

    window.keywords.lstKeyRel.select(indexOf(L"Acme"));
    window.keywords.lstKeyRel_DblClick();
    EXPECT_EQ(placed(L"101"), L"Clients/Acme");
    EXPECT_EQ(stored(), L"102 201") << "the other view's relation stays";

    tree.select(window.keywords.SearchNode(L"131"));
    ::SendMessageW(tree.handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(stored(), L"102 131 201") << "Enter in the tree relates";
    window.keywords.lstKeyRel.select(indexOf(L"Urgent"));
    ::SendMessageW(window.keywords.lstKeyRel.handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(stored(), L"102 201") << "Delete in the list unrelates";
    EXPECT_EQ(placed(L"131"), L"/Urgent");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(RelationWindowTest, DropsFollowWhereTheDragStarted) {
    window.load();
    auto& tree = window.keywords.pvtreeKeys;
    window.keywords.startDragFromTree(window.keywords.SearchNode(L"111"));
    window.keywords.pvtreeKeys_OLEDragDrop();  // the tree dropped on itself
    EXPECT_EQ(stored(), L"101 201");
    window.keywords.lstKeyRel_OLEDragDrop();
    EXPECT_EQ(stored(), L"101 111 201");
    EXPECT_EQ(window.StartDrag, L"lstKey");

    window.keywords.startDragFromTree(tree.find(L"Group-10"));
    window.keywords.lstKeyRel_OLEDragDrop();
    EXPECT_EQ(stored(), L"101 111 201") << "a dragged group is not related";

    window.keywords.startDragFromList(indexOf(L"Draft"));
    EXPECT_EQ(window.StartDrag, L"lstKeyRel");
    window.keywords.lstKeyRel_OLEDragDrop();  // the list dropped on itself
    EXPECT_EQ(stored(), L"101 111 201");
    window.keywords.pvtreeKeys_OLEDragDrop();
    EXPECT_EQ(stored(), L"101 201");
    EXPECT_EQ(placed(L"111"), L"Status/Draft");

    // The tree built anew during a drag (a change of view): the drop relates the keyword dragged,
    // or nothing when the tree has it no more, never the node that took its place.
    window.keywords.startDragFromTree(window.keywords.SearchNode(L"102"));
    window.CheckState1_ChangeView(2);
    window.keywords.lstKeyRel_OLEDragDrop();
    EXPECT_EQ(stored(), L"101 201");
    window.keywords.startDragFromTree(window.keywords.SearchNode(L"202"));
    window.CheckState1_ChangeView(2);
    window.keywords.lstKeyRel_OLEDragDrop();
    EXPECT_EQ(stored(), L"101 201 202");
    EXPECT_TRUE(fakes.prompter.boxes.empty()) << "a drop after a rebuild is no failure";
}

TEST_F(RelationWindowTest, TheFilterNarrowsTheTreeWithoutChangingWhatIsStored) {
    window.load();
    window.keywords.txtFilter.setText(L"  GLO ");
    EXPECT_EQ(placed(L"102"), L"Clients/Globex");
    EXPECT_EQ(placed(L"111"), L"<none>");
    EXPECT_EQ(placed(L"Group-12"), L"<none>") << "groups without a match are left out while filtering";
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"Acme"}) << "the related list is not filtered";
    window.keywords.pvtreeKeys.select(window.keywords.SearchNode(L"102"));
    window.keywords.Relation();
    EXPECT_EQ(stored(), L"101 102 201");
    window.keywords.txtFilter.setText(L"");
    EXPECT_EQ(placed(L"111"), L"Status/Draft");
    EXPECT_EQ(placed(L"Group-12"), L"/Empty");
    EXPECT_EQ(placed(L"102"), L"<none>") << "related now, so not in the tree";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(RelationWindowTest, AnAlreadyStoredRelationIsNotInsertedTwice) {
    window.load();
    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (102, 1)");  // stored meanwhile elsewhere
    auto& tree = window.keywords.pvtreeKeys;
    tree.select(window.keywords.SearchNode(L"102"));
    window.keywords.Relation();
    EXPECT_EQ(stored(), L"101 102 201");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(RelationWindowTest, TheViewChooserSwitchesViewsAndCancellingStillReloads) {
    window.load();
    fakes.modal.script = [](ui::Form& form) {
        auto& chooser = dynamic_cast<tesra::ViewChooser&>(form);
        for (int i = 0; i < chooser.lstViews.count(); ++i)
            if (chooser.lstViews.itemText(i) == L"Personal") chooser.lstViews.select(i);
        ::SendMessageW(chooser.cmdOk.handle(), BM_CLICK, 0, 0);
    };
    window.cmdView_Click();
    EXPECT_EQ(window.SelectedViewId, 2);
    EXPECT_EQ(window.cmdView.text(), L"Personal");
    EXPECT_EQ(support::GetSetting(L"Vellumdex", L"Selected View Shell", L"ID", L""), L"2");
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"Holidays"});
    EXPECT_EQ(placed(L"202"), L"Family/School");

    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (202, 1)");
    fakes.modal.script = [](ui::Form& chooser) {
        ::SendMessageW(dynamic_cast<tesra::ViewChooser&>(chooser).cmdCancel.handle(), BM_CLICK, 0, 0);
    };
    window.cmdView_Click();
    EXPECT_EQ(window.SelectedViewId, 2);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Holidays", L"School"})) << "reloaded although cancelled";
}

TEST_F(RelationWindowTest, AStoredViewThatWentIsReplacedByTheFirstView) {
    support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", L"77");
    window.load();
    EXPECT_EQ(window.SelectedViewId, 2) << "GetAll lists the views by name: Personal first";
    EXPECT_EQ(window.cmdView.text(), L"Personal");
    EXPECT_EQ(support::GetSetting(L"Vellumdex", L"Selected View Shell", L"ID", L""), L"2");
}

TEST_F(RelationWindowTest, AStoredViewThatIsNoWholeNumberIsReplacedByTheFirstView) {
    // Such a value once stopped the load half-way, and every opening after it.
    for (const wchar_t* stored : {L"abc", L"", L"99999999999", L"2x", L"-40000"}) {
        support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", stored);
        window.load();
        EXPECT_TRUE(fakes.prompter.boxes.empty()) << "stored: " << stored;
        EXPECT_EQ(window.SelectedViewId, 2) << "GetAll's first view (Personal); stored: " << stored;
        EXPECT_EQ(support::GetSetting(L"Vellumdex", L"Selected View Shell", L"ID", L""), L"2") << "repaired";
        EXPECT_EQ(window.info.txtNameUpdate.text(), L"Report");
        window.unload();
    }
}

TEST_F(RelationWindowTest, UpdateInfoNeverWritesFieldsTheWindowHasNotShown) {
    SkinMoved away;  // the load fails at its first step, before the boxes are filled
    ASSERT_TRUE(away.moved());
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_FALSE(window.info.cmdUpdateData.enabled()) << "unavailable until the item's fields are shown";
    window.info.cmdUpdateData_Click();
    auto s = db->prepare("SELECT FileName || '|' || FileCurrentPath || '|' || FileComment FROM items WHERE FileId = 1");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.text(0), L"Report|C:\\docs\\report.txt|First") << "nothing blank was written";
}

TEST_F(RelationWindowTest, ARelatedKeywordThatIsGoneIsReportedAndTheKeywordsPageStaysUsable) {
    // Relations to keyword 999 (gone) and then to Globex; the suite's own checks are off here.
    db->exec("PRAGMA foreign_keys=OFF; INSERT INTO keyword_items(KeyId, FileId) VALUES (999, 1), (102, 1);");
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmQuillbox.LoadKWRelationed()   frmQuillbox.Form_Load() \r\n"), std::string::npos) << log;
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Acme", L"Globex"})) << "the relations after it are listed";
    EXPECT_EQ(placed(L"111"), L"Status/Draft") << "the tree is built all the same";
    EXPECT_EQ(placed(L"102"), L"<none>") << "a related keyword stays out of it";
    window.keywords.pvtreeKeys.select(window.keywords.SearchNode(L"111"));
    window.keywords.Relation();
    EXPECT_EQ(stored(), L"101 102 111 201 999") << "nothing stored is lost, and relating works";
}

// The text a button shows for its window text, by the dialog manager's rules ("&&" is "&").
std::wstring shown(const std::wstring& text) {
    std::wstring s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        s += text[i];
    }
    return s;
}

TEST_F(RelationWindowTest, AnAmpersandInTheSuitesDataIsShownAndIsNoAccessKey) {
    db->exec("UPDATE views SET ViewName = 'R&D and Q&A' WHERE ViewId = 1");
    window.load();
    EXPECT_EQ(shown(window.cmdView.text()), L"R&D and Q&A");
    ::ShowWindow(window.handle(), SW_SHOWNA);
    MSG altA{window.keywords.pvtreeKeys.handle(), WM_SYSCHAR, L'a', 1 << 29, 0, {}};
    ::IsDialogMessageW(window.handle(), &altA);
    EXPECT_EQ(fakes.modal.shown, 0) << "Alt+A does not press the view button (its chooser would show)";
}

TEST_F(RelationWindowTest, DeleteInTheRelatedListSelectsTheNextItem) {
    db->exec("INSERT INTO keyword_items(KeyId, FileId) VALUES (102, 1), (111, 1)");
    window.load();
    ASSERT_EQ(listed(), (std::vector<std::wstring>{L"Acme", L"Globex", L"Draft"}));
    window.keywords.lstKeyRel.select(0);
    ::SendMessageW(window.keywords.lstKeyRel.handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(window.keywords.lstKeyRel.selected(), 0);
    ::SendMessageW(window.keywords.lstKeyRel.handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(stored(), L"111 201") << "a second Delete goes on with the next item";
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"Draft"});
}

TEST_F(RelationWindowTest, AKeywordPutBackWhileFilteringShowsOnlyWhenItMatches) {
    window.load();
    window.keywords.txtFilter.setText(L"glo");
    window.keywords.lstKeyRel.select(indexOf(L"Acme"));
    window.keywords.lstKeyRel_DblClick();
    EXPECT_EQ(stored(), L"201");
    EXPECT_EQ(placed(L"101"), L"<none>") << "Acme does not match the filter";
    window.keywords.txtFilter.setText(L"");
    EXPECT_EQ(placed(L"101"), L"Clients/Acme");
}

// The names are compared in lower case from the first keystroke on, for every view shown after it.
TEST_F(RelationWindowTest, AFilterTypedBeforeAChangeOfViewNarrowsTheOtherViewsTreeToo) {
    window.load();
    window.keywords.txtFilter.setText(L"sCH");
    EXPECT_EQ(placed(L"102"), L"<none>");
    window.CheckState1_ChangeView(2);
    EXPECT_EQ(window.keywords.txtFilter.text(), L"sCH");
    EXPECT_EQ(placed(L"202"), L"Family/School");
    window.CheckState1_ChangeView(1);
    window.keywords.txtFilter.setText(L"GLOB");
    EXPECT_EQ(placed(L"102"), L"Clients/Globex");
    EXPECT_EQ(placed(L"111"), L"<none>");
}

TEST_F(RelationWindowTest, ANewKeywordFromTheChooserIsRelatedAtOnce) {
    window.load();
    fakes.modal.script = [](ui::Form& form) {
        auto& chooser = dynamic_cast<tesra::NewKeywordDialog&>(form);
        chooser.txtName.setText(L"Zeta");
        ::SendMessageW(chooser.cmdOk.handle(), BM_CLICK, 0, 0);
    };
    window.keywords.mnu_AddKeyWord_Click();
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Acme", L"Zeta"}));
    auto s = db->prepare("SELECT COUNT(*) FROM keyword_items k JOIN keywords w ON w.KeyId = k.KeyId WHERE w.KeyName = 'Zeta' AND k.FileId = 1");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.integer(0), 1);

    fakes.modal.script = [](ui::Form& chooser) {
        ::SendMessageW(dynamic_cast<tesra::NewKeywordDialog&>(chooser).cmdCancel.handle(), BM_CLICK, 0, 0);
    };
    window.keywords.mnu_AddKeyWord_Click();
    EXPECT_EQ(listed().size(), 2u) << "a cancelled chooser changes nothing";
}

TEST_F(RelationWindowTest, AddEditKeywordsRebuildsBothListsAndRelatedOnesStayOutOfTheTree) {
    window.load();
    fakes.modal.script = [](ui::Form& form) {  // the suite's keyword editor: one keyword added
        auto& editor = dynamic_cast<tesra::KeywordEditor&>(form);
        editor.txtName.setText(L"Initech");
        ::SendMessageW(editor.cmdAdd.handle(), BM_CLICK, 0, 0);
        ::SendMessageW(editor.cmdClose.handle(), BM_CLICK, 0, 0);
    };
    window.keywords.cmdUpdate_Click();
    EXPECT_TRUE(fakes.prompter.boxes.empty());
    auto s = db->prepare("SELECT KeyId FROM keywords WHERE KeyName = 'Initech'");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(placed(std::to_wstring(s.integer(0))), L"/Initech") << "the new keyword is in the rebuilt tree";
    EXPECT_EQ(placed(L"101"), L"<none>") << "a related keyword stays out of the tree";
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"Acme"});
    EXPECT_EQ(stored(), L"101 201");
}

// Pumps the thread's messages for `ms` milliseconds, or until `done` holds.
template <class Done>
void pumpFor(DWORD ms, Done done) {
    DWORD end = ::GetTickCount() + ms;
    while (!done() && static_cast<LONG>(end - ::GetTickCount()) > 0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(20);
    }
}

// The connection control looks every 250 ms; a change seen while one of the suite's own dialogs
// is open closes the window only once that dialog and the handler that opened it are done.
TEST_F(RelationWindowTest, AChangeOfStateWhileASuiteDialogIsOpenWaitsForTheDialog) {
    struct Dialog {
        const char* name;
        std::function<void()> open;
        std::function<void(ui::Form&)> close;
    };
    const Dialog dialogs[] = {
        {"view chooser", [&] { window.cmdView_Click(); },
         [](ui::Form& f) { ::SendMessageW(dynamic_cast<tesra::ViewChooser&>(f).cmdCancel.handle(), BM_CLICK, 0, 0); }},
        {"keyword editor", [&] { window.keywords.cmdUpdate_Click(); },
         [](ui::Form& f) { ::SendMessageW(dynamic_cast<tesra::KeywordEditor&>(f).cmdClose.handle(), BM_CLICK, 0, 0); }},
    };
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog.name);
        db->setSetting(L"StateConnection", L"1");
        fakes.prompter.boxes.clear();
        window.load();
        bool loadedUnderDialog = false;
        size_t boxesUnderDialog = 99;
        fakes.modal.script = [&](ui::Form& form) {
            db->setSetting(L"StateConnection", L"0");
            pumpFor(3000, [&] { return window.holdsConnectionEvents(); });
            EXPECT_TRUE(window.holdsConnectionEvents()) << "the control saw the change under the dialog";
            loadedUnderDialog = window.isLoaded();
            boxesUnderDialog = fakes.prompter.boxes.size();
            dialog.close(form);
        };
        dialog.open();
        EXPECT_TRUE(loadedUnderDialog);
        EXPECT_EQ(boxesUnderDialog, 0u);
        EXPECT_TRUE(window.isLoaded()) << "the handler that opened the dialog finishes on a loaded window";
        pumpFor(3000, [&] { return !window.isLoaded(); });
        EXPECT_FALSE(window.isLoaded());
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
        EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Vellumdex");
    }
}

TEST_F(RelationWindowTest, TheConnectionControlsViewEventReloadsTheLists) {
    window.load();
    db->setSetting(L"ActiveView", L"2");  // the control raises ChangeView(2) at its next look
    pumpFor(3000, [&] { return window.SelectedViewId == 2; });
    EXPECT_EQ(window.SelectedViewId, 2);
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"Holidays"});
}

}  // namespace
}  // namespace qb::testing
