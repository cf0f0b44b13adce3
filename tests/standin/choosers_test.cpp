// The stand-in suite's chooser dialogs, driven through the same seams as the component's windows.
#include <gtest/gtest.h>

#include "automation/object.h"
#include "choosers.h"
#include "fakes.h"
#include "ui/modal.h"

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
    TempFile file{L"qbsuite"};
    std::shared_ptr<tesra::Database> db;

    void SetUp() override {
        ::SetEnvironmentVariableW(L"TESRA_SUITE_DB", file.path().c_str());
        db = tesra::Database::open(file.path());
        db->exec(kSeed);
    }
    void TearDown() override {
        db.reset();
        ::SetEnvironmentVariableW(L"TESRA_SUITE_DB", nullptr);
        for (const wchar_t* tail : {L"-wal", L"-shm"}) ::DeleteFileW((file.path() + tail).c_str());
    }
    std::wstring query(const char* sql) {
        auto s = db->prepare(sql);
        return s.step() ? s.text(0) : L"<none>";
    }
    static void press(ui::Form& f, const wchar_t* button) { ::SendMessageW(f.control(button), BM_CLICK, 0, 0); }
    // Runs the real modal loop after posting keys to a control: the keyboard path.
    static void keys(ui::Form& f, const wchar_t* control, std::initializer_list<WPARAM> vks) {
        HWND h = f.control(control);
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
    suite.modal.script = [](ui::Form& f) {
        EXPECT_EQ(f.itemCount(L"lstViews"), 2);
        EXPECT_EQ(f.itemText(L"lstViews", 0), L"Archive");
        f.select(L"lstViews", 1);
        press(f, L"cmdOk");
    };
    Object view = picker.callObject(L"showviews");
    ASSERT_FALSE(view.isNothing());
    EXPECT_EQ(view.get(L"ViewName").toText(), L"Projects");
    EXPECT_EQ(view.get(L"ViewId").toLong(), 1);

    suite.modal.script = [](ui::Form& f) { press(f, L"cmdCancel"); };
    EXPECT_TRUE(picker.callObject(L"showviews").isNothing());
}

TEST_F(ChooserTest, ViewChooserByKeyboardAndDoubleClick) {
    Object picker(automation::makeObject<tesra::ViewPicker>());
    suite.modal.script = [](ui::Form& f) { keys(f, L"lstViews", {VK_DOWN, VK_RETURN}); };
    EXPECT_EQ(picker.callObject(L"showviews").get(L"ViewName").toText(), L"Projects");
    suite.modal.script = [](ui::Form& f) { keys(f, L"lstViews", {VK_ESCAPE}); };
    EXPECT_TRUE(picker.callObject(L"showviews").isNothing());
    suite.modal.script = [](ui::Form& f) {
        HWND list = f.control(L"lstViews");
        ::SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    };
    EXPECT_EQ(picker.callObject(L"showviews").get(L"ViewName").toText(), L"Archive");
}

TEST_F(ChooserTest, NewKeywordIsStoredInTheChosenGroupAndItsIdAnswered) {
    Object picker(automation::makeObject<tesra::KeywordPicker>());
    suite.modal.script = [](ui::Form& f) {
        EXPECT_EQ(f.itemText(L"cboGroup", 0), L"(no group)");
        f.setText(L"txtName", L"  Globex ");
        f.select(L"cboGroup", 1);  // Clients
        press(f, L"cmdOk");
    };
    long id = picker.call(L"AddNewKeyword", {1L}).toLong();
    EXPECT_GT(id, 111);
    EXPECT_EQ(query("SELECT KeyName || '/' || GroupId || '/' || ViewId FROM keywords ORDER BY KeyId DESC"),
              L"Globex/10/1");
}

TEST_F(ChooserTest, NewKeywordRefusesBlankAndDuplicateNamesAndCancelAnswersZero) {
    Object picker(automation::makeObject<tesra::KeywordPicker>());
    suite.modal.script = [&](ui::Form& f) {
        f.setText(L"txtName", L"   ");
        press(f, L"cmdOk");
        EXPECT_TRUE(f.isLoaded());
        f.setText(L"txtName", L"acme");
        press(f, L"cmdOk");
        EXPECT_TRUE(f.isLoaded());
        press(f, L"cmdCancel");
    };
    EXPECT_EQ(picker.call(L"AddNewKeyword", {1L}).toLong(), 0);
    ASSERT_EQ(suite.prompter.boxes.size(), 2u);
    EXPECT_EQ(suite.prompter.boxes[0].text, L"Type a name for the keyword.");
    EXPECT_NE(suite.prompter.boxes[1].text.find(L"already has a keyword"), std::wstring::npos);
    EXPECT_EQ(query("SELECT COUNT(*) FROM keywords"), L"2");
}

TEST_F(ChooserTest, KeywordEditorAddsRenamesDeletesKeywordsAndGroups) {
    Object picker(automation::makeObject<tesra::KeywordPicker>());
    suite.modal.script = [](ui::Form& f) {
        f.setText(L"txtName", L"Initech");
        press(f, L"cmdAdd");
        EXPECT_EQ(f.itemCount(L"lstKeywords"), 3);
        // Choose "Draft", rename it and move it out of its group.
        for (int i = 0; i < f.itemCount(L"lstKeywords"); ++i) {
            std::wstring label = f.itemText(L"lstKeywords", i);
            if (label.starts_with(L"Draft")) f.select(L"lstKeywords", i);
        }
        HWND list = f.control(L"lstKeywords");
        ::SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        EXPECT_EQ(f.text(L"txtName"), L"Draft");
        f.setText(L"txtName", L"Final draft");
        f.select(L"cboGroup", 0);
        press(f, L"cmdRename");
        // A new group, then the "Clients" group deleted: Acme keeps its (now vanished) group.
        f.setText(L"txtName", L"Year");
        press(f, L"cmdNewGroup");
        for (int i = 0; i < f.itemCount(L"cboGroup"); ++i)
            if (f.itemText(L"cboGroup", i) == L"Clients") f.select(L"cboGroup", i);
        press(f, L"cmdDeleteGroup");
        press(f, L"cmdClose");
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
    suite.modal.script = [&](ui::Form& f) {
        EXPECT_EQ(f.text(L"txtNewPath"), L"c:\\GONE\\a.txt");
        f.setText(L"txtNewPath", L"C:\\still\\missing.txt");
        press(f, L"cmdOk");
        EXPECT_TRUE(f.isLoaded());
        f.setText(L"txtNewPath", moved.path());
        press(f, L"cmdOk");
        EXPECT_FALSE(f.isLoaded());
    };
    picker.call(L"Show", {L"c:\\GONE\\a.txt"});
    EXPECT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_EQ(query("SELECT FileCurrentPath FROM items WHERE FileId = 1"), moved.path());
}

}  // namespace
}  // namespace qb::testing
