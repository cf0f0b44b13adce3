// The name, comment and path dialogs, driven in-process through the seams.
#include <gtest/gtest.h>

#include <cstdio>

#include "fakes.h"
#include "in_process_suite.h"
#include "ui/look/skin.h"
#include "ui/layout/twips.h"
#include "windows/dialogs/edit_dialogs.h"

namespace qb::testing {
namespace {

using automation::ComError;
using windows::frmEditComment;
using windows::frmEditName;
using windows::frmEditPath;

struct EditDialogTest : ::testing::Test {
    FakeSuite suite;
    automation::ComPtr<FakeObject> record = makeFake(L"File", suite.log);

    void SetUp() override {
        record->field(L"FileName", Variant(L"Report 2026"))
            .field(L"FileComment", Variant(L"first line"))
            .field(L"FileCurrentPath", Variant(L"C:\\docs\\report.txt"))
            .field(L"FileType", Variant(L"File"))
            .accept(L"UpDateName")
            .accept(L"UpDateComment")
            .accept(L"UpDatePath");
    }
    std::vector<std::wstring> updates() const {
        std::vector<std::wstring> out;
        for (const auto& c : *suite.log)
            if (c.find(L".UpDate") != std::wstring::npos) out.push_back(c);
        return out;
    }
    template <class D>
    void open(D& d) {
        d.oFileSelected = record->object();
        d.load();
    }
};

TEST_F(EditDialogTest, UnchangedOrBlankOnlyChangesDoNotUpdate) {
    for (const wchar_t* typed : {L"Report 2026", L"   Report 2026  "}) {
        frmEditName d;
        open(d);
        d.txtName.setText(typed);
        d.cmdOk_Click();
        EXPECT_FALSE(d.isLoaded()) << "OK unloads the dialog";
    }
    EXPECT_TRUE(updates().empty());
}

TEST_F(EditDialogTest, AChangeIsStoredExactlyAsTyped) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* call;
    } cases[] = {
        {L"  New name ", L"File.UpDateName(\"  New name \")"},
        {L"report 2026", L"File.UpDateName(\"report 2026\")"},  // letter case alone is a change
        {L"", L"File.UpDateName(\"\")"},                        // emptied
    };
    for (const auto& c : cases) {
        suite.log->clear();
        frmEditName d;
        open(d);
        d.txtName.setText(c.typed);
        d.cmdOk_Click();
        EXPECT_EQ(updates(), std::vector<std::wstring>{c.call});
    }
}

TEST_F(EditDialogTest, EnterConfirmsInEveryTextBoxIncludingTheMultiLineComment) {
    {
        frmEditName d;
        open(d);
        d.txtName.setText(L"Typed");
        ::SendMessageW(d.txtName.handle(), WM_CHAR, 13, 1);
        EXPECT_FALSE(d.isLoaded());
    }
    {
        frmEditComment d;
        open(d);
        d.txtComment.setText(L"second\r\nthoughts");
        ::SendMessageW(d.txtComment.handle(), WM_CHAR, 13, 1);
        EXPECT_FALSE(d.isLoaded());
    }
    {
        frmEditPath d;
        open(d);
        d.txtPath.setText(L"D:\\moved.txt");
        ::SendMessageW(d.txtPath.handle(), WM_CHAR, 13, 1);
        EXPECT_FALSE(d.isLoaded());
    }
    EXPECT_EQ(updates(), (std::vector<std::wstring>{L"File.UpDateName(\"Typed\")",
                                                     L"File.UpDateComment(\"second\r\nthoughts\")",
                                                     L"File.UpDatePath(\"D:\\moved.txt\")"}));
}

TEST_F(EditDialogTest, CloseBoxLeavesWithoutAnUpdate) {
    frmEditName d;
    open(d);
    d.txtName.setText(L"Changed but closed");
    ::SendMessageW(d.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(d.isLoaded());
    EXPECT_TRUE(updates().empty());
}

TEST_F(EditDialogTest, PathLabelFollowsTheItemType) {
    struct Case {
        const wchar_t* type;
        const wchar_t* label;
    } cases[] = {{L"Web", L"Link:"},       {L"Server", L"Path:"},      {L"File", L"Path:"},
                 {L"Outlook", L"ID:"},     {L"OutlookMail", L"Path:"}, {L"WEB", L"Link:"}};
    for (const auto& c : cases) {
        record->field(L"FileType", Variant(c.type));
        frmEditPath d;
        open(d);
        EXPECT_EQ(d.lblPath.text(), c.label) << c.type;
    }
}

TEST_F(EditDialogTest, FailingUpdateIsReportedOnceAndTheDialogStaysOpen) {
    record->on(L"UpDateName", [](const CallArgs&) -> Variant {
        throw ComError(-2147217873, L"The name is taken", L"Tesra.File");
    });
    frmEditName d;
    open(d);
    d.txtName.setText(L"Duplicate");
    d.cmdOk_Click();
    EXPECT_TRUE(d.isLoaded());
    EXPECT_EQ(d.txtName.text(), L"Duplicate");
    ASSERT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_EQ(suite.prompter.boxes[0].caption, L"Relations");
    EXPECT_EQ(suite.prompter.boxes[0].text, L"Error.\r\nDesc: The name is taken\r\nSource: Tesra.File");
    std::string logged = suite.logFile.read();
    EXPECT_NE(logged.find("\tSOURCE : Tesra.File  frmEditName.cmdOk_Click() \r\n"), std::string::npos);
    EXPECT_NE(logged.find("\tNUMBER : -2147217873\r\n"), std::string::npos);
}

TEST_F(EditDialogTest, FailingLoadLeavesAnEmptyBoxThatChangesNothing) {
    VARIANT null;
    ::VariantInit(&null);
    null.vt = VT_NULL;
    record->field(L"FileName", Variant::adopt(null));
    frmEditName d;
    open(d);
    ASSERT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_NE(suite.logFile.read().find("  frmEditName.Form_Load() \r\n"), std::string::npos);
    EXPECT_EQ(d.txtName.text(), L"");
    EXPECT_EQ(d.strOldText, L"");
    d.txtName.setText(L"   ");
    d.cmdOk_Click();
    EXPECT_FALSE(d.isLoaded());
    EXPECT_TRUE(updates().empty());
}

TEST_F(EditDialogTest, EscClosesWithoutStoringAsTheCloseBoxDoes) {
    frmEditName name;
    open(name);
    name.txtName.setText(L"Typed, then thought better of");
    MSG esc{name.txtName.handle(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    ::IsDialogMessageW(name.handle(), &esc);
    EXPECT_FALSE(name.isLoaded());
    frmEditComment comment;
    open(comment);
    comment.txtComment.setText(L"also in the multi-line box");
    esc.hwnd = comment.txtComment.handle();
    ::IsDialogMessageW(comment.handle(), &esc);
    EXPECT_FALSE(comment.isLoaded());
    EXPECT_TRUE(updates().empty());
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

TEST_F(EditDialogTest, AMissingSkinIsReportedAndTheDialogStillOpensEmpty) {
    SkinMoved away;
    ASSERT_TRUE(away.moved());
    frmEditName d;
    open(d);
    EXPECT_TRUE(d.isLoaded());
    ASSERT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_EQ(suite.prompter.boxes[0].text.rfind(L"Error.\r\nDesc: File not found", 0), 0u);
    EXPECT_NE(suite.logFile.read().find("\tNUMBER : 53\r\n"), std::string::npos);
    EXPECT_EQ(d.txtName.text(), L"");
    EXPECT_EQ(d.strOldText, L"");
}

TEST(Skin, FileFormatKeysAndDefaults) {
    ui::SkinLook look = ui::Skin::parse("; comment\r\n[Skin]\r\nName=Mac\r\nFontName=Verdana\r\nFontSize=9\r\n"
                                        "PanelColor=1, 2, 3\r\nUnknown=1\r\n");
    EXPECT_EQ(look.name, L"Mac");
    EXPECT_EQ(look.fontName, L"Verdana");
    EXPECT_EQ(look.fontSize, 9);
    EXPECT_EQ(look.panelColor, RGB(1, 2, 3));
    EXPECT_EQ(look.textBoxColor, RGB(255, 255, 255)) << "missing keys keep their defaults";
    EXPECT_THROW(ui::Skin::parse("Name=NoSection\r\n"), ComError);
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

// Against the stand-in suite: what the suite refuses is reported, and the dialog stays open
// with the typed text so that it can be corrected; the record is unchanged.
struct EditAgainstSuiteTest : SeededSuite {
    void SetUp() override {
        SeededSuite::SetUp();
        db->exec("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (2, 'Other', 'C:\\docs\\other.txt', 'File')");
    }
    std::wstring item1() {
        auto s = db->prepare("SELECT FileName || '|' || FileCurrentPath FROM items WHERE FileId = 1");
        return s.step() ? s.text(0) : L"<gone>";
    }
    template <class D>
    void tryOk(D& d, ui::TextBox& box, const std::wstring& typed, const wchar_t* reported) {
        fakes.prompter.boxes.clear();
        box.setText(typed);
        d.cmdOk_Click();
        EXPECT_TRUE(d.isLoaded()) << typed;
        EXPECT_EQ(box.text(), typed);
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << typed;
        EXPECT_NE(fakes.prompter.boxes[0].text.find(reported), std::wstring::npos) << fakes.prompter.boxes[0].text;
        EXPECT_NE(fakes.prompter.boxes[0].text.find(L"Source: Tesra.File"), std::wstring::npos);
    }
};

TEST_F(EditAgainstSuiteTest, RefusedNameOrPathIsReportedAndLeftToCorrect) {
    {
        frmEditName d;
        d.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        d.load();
        tryOk(d, d.txtName, L"   ", L"needs a name");
        d.unload();
    }
    {
        frmEditPath d;
        d.oFileSelected = loadItem(L"C:/docs/./report.txt");
        d.load();
        ASSERT_EQ(d.txtPath.text(), L"C:\\docs\\report.txt");
        tryOk(d, d.txtPath, L"", L"The path is missing.");
        tryOk(d, d.txtPath, L"C:\\docs\\re|port.txt", L"cannot contain");
        tryOk(d, d.txtPath, L"c:\\DOCS\\other.txt", L"\"Other\" already has the path");
        d.unload();
    }
    EXPECT_EQ(item1(), L"Report|C:\\docs\\report.txt");
    // One log block per refusal.
    std::string logged = fakes.logFile.read();
    size_t blocks = 0;
    for (size_t at = logged.find(".cmdOk_Click() \r\n"); at != std::string::npos; at = logged.find(".cmdOk_Click() \r\n", at + 1))
        ++blocks;
    EXPECT_EQ(blocks, 4u);
}

TEST_F(EditAgainstSuiteTest, EditOfAnItemDeletedMeanwhileIsNotLostWithoutAWord) {
    frmEditName d;
    d.oFileSelected = loadItem(L"C:\\docs\\report.txt");
    d.load();
    db->exec("DELETE FROM items WHERE FileId = 1");
    tryOk(d, d.txtName, L"Renamed", L"no such item");
    EXPECT_EQ(item1(), L"<gone>");
}

}  // namespace
}  // namespace qb::testing
