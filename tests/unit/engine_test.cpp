// Engine's operations against recording fakes of the suite: which calls, in which order, with what.
#include <gtest/gtest.h>

#include "automation/object.h"
#include "engine/engine.h"
#include "fakes.h"
#include "windows/dialogs/edit_dialogs.h"
#include "windows/relation/frm_quillbox.h"
#include "windows/server/frm_relation_server.h"

namespace qb::testing {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;

struct EngineTest : ::testing::Test {
    FakeSuite suite;
    automation::ComPtr<FakeObject> loader = makeFake(L"Itemkeeper.Engine", suite.log);
    automation::ComPtr<FakeObject> record = makeFake(L"File", suite.log);
    automation::ComPtr<FakeObject> lookup = makeFake(L"Tesra.File", suite.log);
    automation::ComPtr<FakeObject> gate = makeFake(L"Gatehouse.Engine", suite.log);
    Object engine{engine::createEngine()};

    void SetUp() override {
        record->field(L"FileName", Variant(L"Report")).field(L"FileType", Variant(L"File")).accept(L"UpDateName");
        Variant found(record.get());
        loader->on(L"LoadFileObject", [found](const CallArgs&) { return found; })
            .on(L"LoadFileOutlookObject", [found](const CallArgs&) { return found; })
            .on(L"LoadFileWeb", [found](const CallArgs&) { return found; });
        auto give = [](automation::ComPtr<FakeObject> f) { return [f] { return f->object(); }; };
        suite.factory.define(L"Itemkeeper.Engine", give(loader));
        suite.factory.define(L"Tesra.File", give(lookup));
        suite.factory.define(L"Gatehouse.Engine", give(gate));
    }
    void loaderFindsNothing() {
        for (const wchar_t* m : {L"LoadFileObject", L"LoadFileOutlookObject", L"LoadFileWeb"})
            loader->on(m, [](const CallArgs&) { return Variant(static_cast<IDispatch*>(nullptr)); });
    }
    ComError failureOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const ComError& e) {
            return e;
        }
        ADD_FAILURE() << "no error raised";
        return ComError(0, L"");
    }
};

TEST_F(EngineTest, EditOperationForAnUnknownPathReturnsAtOnce) {
    loaderFindsNothing();
    engine.call(L"ShowEditName", {L"C:\\unknown.txt"});
    EXPECT_EQ(*suite.log, (CallLog{L"new Itemkeeper.Engine", L"Itemkeeper.Engine.LoadFileObject(\"C:\\unknown.txt\", False)"}));
    EXPECT_EQ(suite.modal.shown, 0);
    EXPECT_TRUE(suite.prompter.boxes.empty());
}

TEST_F(EngineTest, EditOperationShowsTheDialogModallyAndStoresTheChange) {
    suite.modal.script = [](ui::Form& form) {
        EXPECT_TRUE(form.isLoaded()) << "loaded before it is shown";
        auto& dialog = dynamic_cast<windows::frmEditName&>(form);
        EXPECT_EQ(dialog.strOldText, L"Report");
        dialog.txtName.setText(L"Renamed");
        ::SendMessageW(dialog.cmdOk.handle(), BM_CLICK, 0, 0);
        EXPECT_FALSE(form.isLoaded());
    };
    engine.call(L"ShowEditName", {L"C:\\docs\\report.txt"});
    EXPECT_EQ(suite.modal.shown, 1);
    EXPECT_EQ(suite.log->back(), L"File.UpDateName(\"Renamed\")");
}

TEST_F(EngineTest, MissingSuiteRaises429WithTheOperationInTheSource) {
    FakeFactory empty(suite.log);
    support::ScopedServices noSuite(support::Services{.objects = &empty, .prompter = nullptr, .modal = nullptr, .logFile = {}});
    ComError e = failureOf([&] { engine.call(L"ShowEditName", {L"C:\\x.txt"}); });
    EXPECT_EQ(e.number(), 429);
    EXPECT_EQ(e.description(), L"ActiveX component can't create object");
    EXPECT_EQ(e.source(), L"Quillbox Engine.ShowEditName() ");
    EXPECT_TRUE(suite.prompter.boxes.empty()) << "operations show no message of their own";
}

TEST_F(EngineTest, LoaderFailureReachesTheHostWithItsOwnSourceAndTheOperation) {
    loader->on(L"LoadFileObject", [](const CallArgs&) -> Variant { throw ComError(3021, L"No current record", L"Itemkeeper"); });
    ComError e = failureOf([&] { engine.call(L"ShowEditPath", {L"C:\\x.txt"}); });
    EXPECT_EQ(e.number(), 3021);
    EXPECT_EQ(e.source(), L"Itemkeeper Engine.ShowEditPath() ");
}

TEST_F(EngineTest, ShowRelationOpensTheRelationWindowOnTheLocalFile) {
    gate->field(L"StateConnection", Variant(0L));
    suite.modal.script = [](ui::Form& form) {
        auto& window = dynamic_cast<windows::frmQuillbox&>(form);
        EXPECT_EQ(window.m_UserFile, L"C:\\docs\\report.txt");
        EXPECT_TRUE(window.fi != nullptr) << "the header was loaded";
        EXPECT_FALSE(window.ssTab.pageEnabled(5)) << "not connected: no Server tab";
        window.cmdOk_Click();
    };
    engine.call(L"ShowRelation", {L"C:\\docs\\report.txt"});
    EXPECT_EQ(suite.modal.shown, 1);
    EXPECT_EQ(suite.log->at(1), L"Itemkeeper.Engine.LoadFileObject(\"C:\\docs\\report.txt\", True)");

    loaderFindsNothing();
    engine.call(L"ShowRelation", {L"C:\\unknown.txt"});  // nothing found: no window, no error
    EXPECT_EQ(suite.modal.shown, 1);
}

TEST_F(EngineTest, AllItemsRelationLooksTheItemUpAndLoadsByKind) {
    lookup->accept(L"loaddata");
    auto found = makeFake(L"Found", suite.log);
    found->field(L"FileType", Variant(L"file"))
        .field(L"FileCurrentPath", Variant(L"/server/a.txt"))
        .field(L"FileName", Variant(std::wstring(45, L'n')));
    Variant answer(found.get());
    lookup->on(L"GetOne", [answer](const CallArgs&) { return answer; });
    suite.modal.script = [](ui::Form& form) {
        auto& window = dynamic_cast<windows::frmQuillbox&>(form);
        EXPECT_EQ(window.m_UserFile, L"");
        EXPECT_FALSE(window.ssTab.pageEnabled(5));
        window.cmdOk_Click();
    };
    engine.call(L"ShowAllItemsRelation", {L"C:\\a.txt"});
    EXPECT_EQ(suite.modal.shown, 1);
    EXPECT_EQ((CallLog{suite.log->begin(), suite.log->begin() + 3}),
              (CallLog{L"new Tesra.File", L"Tesra.File.loaddata(<missing>, <missing>, <missing>, \"C:\\a.txt\")",
                       L"Tesra.File.GetOne()"}));
    std::wstring outlook = L"Itemkeeper.Engine.LoadFileOutlookObject(\"/server/a.txt\", \"" + std::wstring(40, L'n') +
                           L"\", \"file\", True)";
    EXPECT_NE(std::find(suite.log->begin(), suite.log->end(), outlook), suite.log->end());
    for (const auto& call : *suite.log) EXPECT_EQ(call.find(L"Gatehouse"), std::wstring::npos) << call;
}

TEST_F(EngineTest, WebOperationsPassTitleAndFlagAndPickTheWindowByKind) {
    record->field(L"FileCurrentPath", Variant(L"http://h/a/page.html"));
    engine.call(L"ShowRelationWeb", {L"http://h/a/page.html"});  // optional ones omitted
    EXPECT_EQ(suite.log->at(1), L"Itemkeeper.Engine.LoadFileWeb(\"http://h/a/page.html\", \"page.html\", True)");
    suite.log->clear();
    engine.call(L"ShowRelationWeb", {L"http://h/a/", Arg::missing(), L"memo", true});
    EXPECT_EQ(suite.log->at(1), L"Itemkeeper.Engine.LoadFileWeb(\"http://h/a/\", \"http://h/a/\", True)");
    suite.log->clear();
    engine.call(L"ShowRelationWeb", {L"http://h/x", L"  Given title "});
    EXPECT_EQ(suite.log->at(1), L"Itemkeeper.Engine.LoadFileWeb(\"http://h/x\", \"  Given title \", True)");

    suite.log->clear();
    // A server item: the server window, with the address from the record, the memo flag set and
    // the path box disabled by the opener.
    record->field(L"FileType", Variant(L"Server")).field(L"FileCurrentPath", Variant(L"/srv/a.doc"));
    std::wstring shown, url;
    bool editMemo = false, pathEnabled = true;
    suite.modal.script = [&](ui::Form& form) {
        auto& w = dynamic_cast<windows::frmRelationServer&>(form);
        shown = w.name(), url = w.strUrl, editMemo = w.blnEditMemo, pathEnabled = w.info.txtPathUpdate.enabled();
    };
    engine.call(L"ShowRelationWebEdition", {L"/srv/a.doc"});
    EXPECT_EQ(suite.log->at(1), L"Itemkeeper.Engine.LoadFileWeb(\"/srv/a.doc\", <missing>, False)");
    EXPECT_EQ(shown, L"frmRelationServer");
    EXPECT_EQ(url, L"/srv/a.doc");
    EXPECT_TRUE(editMemo);
    EXPECT_FALSE(pathEnabled);
}

TEST_F(EngineTest, RequiredArgumentsAreRequired) {
    EXPECT_EQ(failureOf([&] { engine.call(L"ShowEditName"); }).number(), 449);
}

TEST_F(EngineTest, UploadXXXReportsItsOwnFailuresAndReturnsNormally) {
    gate->on(L"UploadFile", [](const CallArgs& a) { return Variant(L"/" + a.text(0).substr(a.text(0).rfind(L'\\') + 1)); });
    EXPECT_TRUE(engine.call(L"UploadXXX").isEmpty());
    ASSERT_EQ(suite.prompter.boxes.size(), 3u);
    EXPECT_NE(suite.prompter.boxes[1].text.find(L"UploadXXX.txt"), std::wstring::npos);
    EXPECT_EQ(suite.prompter.boxes[2].text, L"/UploadXXX.txt");

    suite.prompter.boxes.clear();
    FakeFactory empty(suite.log);
    support::ScopedServices noSuite(support::Services{.objects = &empty, .prompter = nullptr, .modal = nullptr, .logFile = {}});
    EXPECT_NO_THROW(engine.call(L"UploadXXX"));
    EXPECT_EQ(suite.prompter.boxes.back().flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_NE(suite.logFile.read().find("  Engine.UploadXXX() \r\n"), std::string::npos);
}

}  // namespace
}  // namespace qb::testing
