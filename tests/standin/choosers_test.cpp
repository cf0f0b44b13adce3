// The stand-in suite's chooser dialogs, driven through the same seams as the component's windows.
#include <gtest/gtest.h>

#include "automation/object.h"
#include "choosers.h"
#include "fakes.h"
#include "suite_database.h"
#include "ui/window/modal.h"

namespace qb::testing {
namespace {

using automation::Object;

constexpr char kSeed[] = R"sql(
INSERT INTO views(ViewId, ViewName) VALUES (1, 'Projects'), (2, 'Archive');
INSERT INTO groups(GroupId, GroupName, ViewId) VALUES (10, 'Clients', 1), (11, 'Status', 1);
INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) VALUES (101, 'Acme', 10, 1), (111, 'Draft', 11, 1);
INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (1, 'a', 'C:\gone\a.txt', 'File');
)sql";

struct ChooserTest : ::testing::Test {
    FakeSuite suite;
    ScopedSuiteDatabase store{L"qbsuite"};
    std::shared_ptr<tesra::Database> db = store.db;

    void SetUp() override { db->exec(kSeed); }
    std::wstring query(const char* sql) { return store.query(sql); }
    static void press(ui::Button& button) { ::SendMessageW(button.handle(), BM_CLICK, 0, 0); }
    // Runs the real modal loop after posting keys to a control: the keyboard path.
    static void keys(ui::Form& f, ui::Control& control, std::initializer_list<WPARAM> vks) {
        HWND h = control.handle();
        ::SetFocus(h);
        for (WPARAM vk : vks) {
            ::PostMessageW(h, WM_KEYDOWN, vk, 1);
            ::PostMessageW(h, WM_KEYUP, vk, 0xC0000001);
        }
        ui::MessageLoopRunner().runModal(f);
    }
};

TEST_F(ChooserTest, ViewChooserAnswersThePickedViewOrNothing) {
    Object picker(automation::makeObject<tesra::ViewPicker>());
    suite.modal.script = [](ui::Form& form) {
        auto& f = dynamic_cast<tesra::ViewChooser&>(form);
        EXPECT_EQ(f.lstViews.count(), 2);
        EXPECT_EQ(f.lstViews.itemText(0), L"Archive");
        f.lstViews.select(1);
        press(f.cmdOk);
    };
    Object view = picker.callObject(L"showviews");
    ASSERT_FALSE(view.isNothing());
    EXPECT_EQ(view.get(L"ViewName").toText(), L"Projects");
    EXPECT_EQ(view.get(L"ViewId").toLong(), 1);

    suite.modal.script = [](ui::Form& f) { press(dynamic_cast<tesra::ViewChooser&>(f).cmdCancel); };
    EXPECT_TRUE(picker.callObject(L"showviews").isNothing());
}

TEST_F(ChooserTest, ViewChooserByKeyboardAndDoubleClick) {
    Object picker(automation::makeObject<tesra::ViewPicker>());
    suite.modal.script = [](ui::Form& f) { keys(f, dynamic_cast<tesra::ViewChooser&>(f).lstViews, {VK_DOWN, VK_RETURN}); };
    EXPECT_EQ(picker.callObject(L"showviews").get(L"ViewName").toText(), L"Projects");
    suite.modal.script = [](ui::Form& f) { keys(f, dynamic_cast<tesra::ViewChooser&>(f).lstViews, {VK_ESCAPE}); };
    EXPECT_TRUE(picker.callObject(L"showviews").isNothing());
    suite.modal.script = [](ui::Form& f) {
        HWND list = dynamic_cast<tesra::ViewChooser&>(f).lstViews.handle();
        ::SendMessageW(f.handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    };
    EXPECT_EQ(picker.callObject(L"showviews").get(L"ViewName").toText(), L"Archive");
}

TEST_F(ChooserTest, NewKeywordIsStoredInTheChosenGroupAndItsIdAnswered) {
    Object picker(automation::makeObject<tesra::KeywordPicker>());
    suite.modal.script = [](ui::Form& form) {
        auto& f = dynamic_cast<tesra::NewKeywordDialog&>(form);
        EXPECT_EQ(f.cboGroup.itemText(0), L"(no group)");
        f.txtName.setText(L"  Globex ");
        f.cboGroup.select(1);  // Clients
        press(f.cmdOk);
    };
    long id = picker.call(L"AddNewKeyword", {1L}).toLong();
    EXPECT_GT(id, 111);
    EXPECT_EQ(query("SELECT KeyName || '/' || GroupId || '/' || ViewId FROM keywords ORDER BY KeyId DESC"),
              L"Globex/10/1");
}

TEST_F(ChooserTest, NewKeywordRefusesBlankAndDuplicateNamesAndCancelAnswersZero) {
    Object picker(automation::makeObject<tesra::KeywordPicker>());
    suite.modal.script = [&](ui::Form& form) {
        auto& f = dynamic_cast<tesra::NewKeywordDialog&>(form);
        f.txtName.setText(L"   ");
        press(f.cmdOk);
        EXPECT_TRUE(f.isLoaded());
        f.txtName.setText(L"acme");
        press(f.cmdOk);
        EXPECT_TRUE(f.isLoaded());
        press(f.cmdCancel);
    };
    EXPECT_EQ(picker.call(L"AddNewKeyword", {1L}).toLong(), 0);
    ASSERT_EQ(suite.prompter.boxes.size(), 2u);
    EXPECT_EQ(suite.prompter.boxes[0].text, L"Type a name for the keyword.");
    EXPECT_NE(suite.prompter.boxes[1].text.find(L"already has a keyword"), std::wstring::npos);
    EXPECT_EQ(query("SELECT COUNT(*) FROM keywords"), L"2");
}

TEST_F(ChooserTest, KeywordEditorAddsRenamesDeletesKeywordsAndGroups) {
    Object picker(automation::makeObject<tesra::KeywordPicker>());
    suite.modal.script = [](ui::Form& form) {
        auto& f = dynamic_cast<tesra::KeywordEditor&>(form);
        f.txtName.setText(L"Initech");
        press(f.cmdAdd);
        EXPECT_EQ(f.lstKeywords.count(), 3);
        // Choose "Draft", rename it and move it out of its group.
        for (int i = 0; i < f.lstKeywords.count(); ++i) {
            std::wstring label = f.lstKeywords.itemText(i);
            if (label.starts_with(L"Draft")) f.lstKeywords.select(i);
        }
        HWND list = f.lstKeywords.handle();
        ::SendMessageW(f.handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        EXPECT_EQ(f.txtName.text(), L"Draft");
        f.txtName.setText(L"Final draft");
        f.cboGroup.select(0);
        press(f.cmdRename);
        // A new group, then the "Clients" group deleted: Acme keeps its (now vanished) group.
        f.txtName.setText(L"Year");
        press(f.cmdNewGroup);
        for (int i = 0; i < f.cboGroup.count(); ++i)
            if (f.cboGroup.itemText(i) == L"Clients") f.cboGroup.select(i);
        press(f.cmdDeleteGroup);
        press(f.cmdClose);
    };
    picker.call(L"UpdateKeyWords", {1L});
    EXPECT_TRUE(suite.prompter.boxes.empty());
    EXPECT_EQ(query("SELECT KeyName || '/' || GroupId FROM keywords WHERE KeyId = 111"), L"Final draft/0");
    EXPECT_EQ(query("SELECT GroupId FROM keywords WHERE KeyName = 'Acme'"), L"10");
    EXPECT_EQ(query("SELECT group_concat(GroupName) FROM (SELECT GroupName FROM groups ORDER BY GroupName)"),
              L"Status,Year");
    EXPECT_EQ(query("SELECT COUNT(*) FROM keywords WHERE KeyName = 'Initech' AND ViewId = 1"), L"1");
}

TEST_F(ChooserTest, PathChooserMovesTheItemOnlyToAFileThatExists) {
    TempFile moved(L"qbmoved");
    HANDLE h = ::CreateFileW(moved.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(h);
    Object picker(automation::makeObject<tesra::PathPicker>());
    suite.modal.script = [&](ui::Form& form) {
        auto& f = dynamic_cast<tesra::FileLocator&>(form);
        EXPECT_EQ(f.txtNewPath.text(), L"c:\\GONE\\a.txt");
        f.txtNewPath.setText(L"C:\\still\\missing.txt");
        press(f.cmdOk);
        EXPECT_TRUE(f.isLoaded());
        f.txtNewPath.setText(moved.path());
        press(f.cmdOk);
        EXPECT_FALSE(f.isLoaded());
    };
    picker.call(L"Show", {L"c:\\GONE\\a.txt"});
    EXPECT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_EQ(query("SELECT FileCurrentPath FROM items WHERE FileId = 1"), moved.path());
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

// Foldermint.Engine and Tagadvisor.Engine, as strict as the suite: ids as numbers, a view that
// exists, a parent of that view.
struct CategoryAndAdviceTest : ChooserTest {
    void SetUp() override {
        ChooserTest::SetUp();
        db->exec("UPDATE views SET ParentCategoryId = 0;"
                 "INSERT INTO categories(CatId, CatName, ParentCategoryId, ViewId) VALUES (100, 'Company', 0, 1), (110, 'Sales', 100, 1),"
                 " (200, 'Family', 0, 2);"
                 "INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) VALUES (102, 'Globex Corp', 10, 1), (201, 'Acme', 0, 2);");
    }
};

TEST_F(CategoryAndAdviceTest, ANewCategoryIsMadeUnderItsParentAndABlankOrTakenNameIsRefused) {
    Object maker(automation::makeObject<tesra::CategoryMaker>());
    suite.modal.script = [](ui::Form& form) {
        auto& d = dynamic_cast<tesra::NewCategoryDialog&>(form);
        for (const wchar_t* refused : {L"   ", L"sales", L"Offers"}) {
            d.txtName.setText(refused);
            press(d.cmdOk);
            if (!d.isLoaded()) return;  // taken: the last one
        }
    };
    Object made = maker.callObject(L"ShowNewCategory", {100L, 1L});
    ASSERT_EQ(suite.prompter.boxes.size(), 2u) << "blank, and a sibling's name in another letter case";
    EXPECT_EQ(suite.prompter.boxes[1].text, L"This folder already holds a category \"sales\".");
    ASSERT_FALSE(made.isNothing());
    EXPECT_FALSE(maker.get(L"blncancel").toBool());
    EXPECT_EQ(query(("SELECT CatName || '/' || ParentCategoryId || '/' || ViewId FROM categories WHERE CatId = " +
                     std::to_string(made.get(L"CatId").toLong())).c_str()),
              L"Offers/100/1");

    // Cancelled: blncancel says so, and the parent comes back.
    suite.modal.script = [](ui::Form& form) { press(dynamic_cast<tesra::NewCategoryDialog&>(form).cmdCancel); };
    Object parent = maker.callObject(L"ShowNewCategory", {110L, 1L});
    EXPECT_TRUE(maker.get(L"blncancel").toBool());
    EXPECT_EQ(parent.get(L"CatId").toLong(), 110);
    EXPECT_TRUE(maker.callObject(L"ShowNewCategory", {0L, 1L}).isNothing()) << "the view's root has no record";

    auto number = [&](std::initializer_list<automation::Arg> args) {
        try {
            maker.call(L"ShowNewCategory", args);
        } catch (const automation::ComError& e) {
            return e.number();
        }
        return 0L;
    };
    EXPECT_EQ(number({L"100", 1L}), 13) << "an id as text";
    EXPECT_EQ(number({100L, 9L}), 5) << "a view the suite has not";
    EXPECT_EQ(number({200L, 1L}), 5) << "a parent of another view";
}

TEST_F(CategoryAndAdviceTest, RecommendedKeywordsAreTheViewsWholeWordsInTheText) {
    Object advisor(automation::makeObject<tesra::KeywordAdvisor>());
    Object found = advisor.callObject(L"Show", {L"Call ACME about the globex corp. order; no drafting.", 1L});
    ASSERT_FALSE(found.isNothing());
    std::wstring ids;
    for (const Object& k : found.items()) ids += k.get(L"KeyId").toText() + L" ";
    EXPECT_EQ(ids, L"101 102 ") << "Acme and Globex Corp of view 1; not Draft inside \"drafting\", not view 2's Acme";
    EXPECT_TRUE(advisor.callObject(L"Show", {L"nothing to see", 1L}).isNothing());
    EXPECT_THROW(advisor.call(L"Show", {12L, 1L}), automation::ComError) << "a text that is no text";
    EXPECT_THROW(advisor.call(L"Show", {L"Acme", 9L}), automation::ComError) << "a view the suite has not";
}

}  // namespace
}  // namespace qb::testing
