// The error report: the message box and the log block, byte for byte.
#include <gtest/gtest.h>

#include "fakes.h"
#include "support/error_report.h"

namespace qb::testing {
namespace {

using automation::ComError;

ComError sampleError() {
    ComError e(429, L"ActiveX component can't create object", L"Quillbox");
    e.appendSource(L"frmMemoRelation.CleanText()");
    return e;
}

TEST(ErrorLog, BlockIsSixCrLfLinesInTheFixedLayout) {
    std::string block = support::formatLogBlock(sampleError(), L"frmMemoRelation.cboTheme_Click()",
                                                L"12/5/2026 4:31:27 PM");
    EXPECT_EQ(block,
              " -- ERROR --\r\n"
              "\tDATE   : 12/5/2026 4:31:27 PM\r\n"
              "\tNUMBER : 429\r\n"
              "\tSOURCE : Quillbox frmMemoRelation.CleanText()   frmMemoRelation.cboTheme_Click() \r\n"
              "\tDESCRIPTION: & ActiveX component can't create object\r\n"
              "------------------------------------------------------------\r\n");
}

TEST(ErrorLog, NegativeNumbersAndNonAsciiTextAreWrittenAsIs) {
    ComError e(static_cast<long>(0x80004005), L"Ausf\u00fchrung fehlgeschlagen", L"Tesra.File");
    std::string block = support::formatLogBlock(e, L"frmEditName.cmdOk_Click()", L"d");
    EXPECT_NE(block.find("\tNUMBER : -2147467259\r\n"), std::string::npos);
    EXPECT_NE(block.find("Ausf\xc3\xbchrung"), std::string::npos);
}

TEST(ErrorLog, BlocksAreAppendedAndAnUnwritableLogIsPassedOver) {
    TempFile file(L"qbappend");
    support::appendToLog(file.path(), "one\r\n");
    support::appendToLog(file.path(), "two\r\n");
    EXPECT_EQ(file.read(), "one\r\ntwo\r\n");
    // A folder that does not exist: nothing happens, nothing is thrown.
    support::appendToLog(L"Q:\\no\\such\\folder\\Quillbox.Log", "x");
}

TEST(ErrorReport, ShowsTheCriticalBoxThenLogsOneBlock) {
    FakeSuite suite;
    support::reportError(nullptr, L"Relations", L"frmEditName.cmdOk_Click()", sampleError());
    ASSERT_EQ(suite.prompter.boxes.size(), 1u);
    const auto& box = suite.prompter.boxes[0];
    EXPECT_EQ(box.text,
              L"Error.\r\nDesc: ActiveX component can't create object\r\n"
              L"Source: Quillbox frmMemoRelation.CleanText() ");
    EXPECT_EQ(box.caption, L"Relations");
    EXPECT_EQ(box.flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    std::string logged = suite.logFile.read();
    EXPECT_EQ(logged.rfind(" -- ERROR --\r\n", 0), 0u);
    EXPECT_NE(logged.find("  frmEditName.cmdOk_Click() \r\n"), std::string::npos);
    EXPECT_EQ(logged.find(" -- ERROR --", 1), std::string::npos) << "exactly one block";
}

TEST(ErrorReport, HandleEventReportsAndEndsTheHandler) {
    FakeSuite suite;
    bool after = false;
    bool ok = support::handleEvent(nullptr, L"Relations", L"frmX.cmd_Click()", [&] {
        throw ComError(13, L"Type mismatch", L"Quillbox");
        after = true;
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(after);
    EXPECT_EQ(suite.prompter.boxes.size(), 1u);
}

TEST(ErrorReport, AFailingLogDoesNotAddASecondBox) {
    FakeSuite suite;
    support::ScopedServices badLog(support::Services{nullptr, nullptr, nullptr, L"Q:\\missing\\dir\\x.Log"});
    support::reportError(nullptr, L"Relations", L"frmX.Form_Load()", sampleError());
    EXPECT_EQ(suite.prompter.boxes.size(), 1u);
}

}  // namespace
}  // namespace qb::testing
