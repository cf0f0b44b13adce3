// File and shell helpers: the file-system object for real, the suite and the shell as fakes, and
// one program really started through the shell.
#include <gtest/gtest.h>

#include <windows.h>

#include "fakes.h"
#include "shell/file_function.h"

namespace qb::testing {
namespace {

using automation::ComError;

// Records what would be started.
struct RecordingShell final : ui::Shell {
    std::vector<std::wstring> calls;
    INT_PTR execute(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& folder, int show) override {
        calls.push_back((owner ? L"owner " : L"") + verb + L"|" + file + L"|" + parameters + L"|" + folder + L"|" +
                        std::to_wstring(show));
        return 42;
    }
    std::unique_ptr<ui::StartedProgram> start(HWND, const std::wstring&, const std::wstring&) override {
        throw ComError(5, L"not here");
    }
};

struct FileFunctionTest : ::testing::Test {
    FakeSuite suite;
    RecordingShell shell;
    support::ScopedServices withShell{
        support::Services{.objects = nullptr, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = &shell}};
    TempFile file{L"qbfso"};

    void SetUp() override {
        suite.factory.define(L"Scripting.FileSystemObject",
                             [] { return automation::ComObjectFactory().create(L"Scripting.FileSystemObject"); });
    }
    static DWORD sizeOf(const std::wstring& path) {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a) ? a.nFileSizeLow : 0xFFFFFFFF;
    }
    std::vector<std::wstring> suiteCalls() const {
        std::vector<std::wstring> out;
        for (const auto& c : *suite.log)
            if (c.find(L"FileSystemObject") == std::wstring::npos) out.push_back(c);
        return out;
    }
};

TEST_F(FileFunctionTest, TextFilesReplaceEvenReadOnlyOnesAndAddNothing) {
    shell::FSOFileTextCreate(file.path(), L"first");
    ::SetFileAttributesW(file.path().c_str(), FILE_ATTRIBUTE_READONLY);
    shell::FSOFileTextCreate(file.path(), L"abc");
    EXPECT_EQ(file.read(), "abc") << "ANSI, no line end";
    shell::FSOFileTextCreate(file.path(), L"");
    EXPECT_EQ(sizeOf(file.path()), 0u);
    shell::FSOFileCopy(file.path(), file.path() + L".copy", true);
    EXPECT_TRUE(shell::FSOFileExist(file.path() + L".copy"));
    EXPECT_TRUE(shell::FSOFileDelete(file.path() + L".copy"));
    EXPECT_FALSE(shell::FSOFileExist(file.path() + L".copy"));
}

TEST_F(FileFunctionTest, FileFailuresNameTheProcedureAndThePath) {
    FakeFactory empty(suite.log);
    support::ScopedServices noFileSystem(
        support::Services{.objects = &empty, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = nullptr});
    try {
        shell::FSOFileExist(L"C:\\x\\y.txt");
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), 429);
        EXPECT_TRUE(e.source().ends_with(L" modFnc.FSOFileExist() ")) << e.source();
        EXPECT_TRUE(e.description().ends_with(L" File : C:\\x\\y.txt")) << e.description();
    }
    try {
        shell::FSOFileCopy(L"a", L"b", false);
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_TRUE(e.source().ends_with(L" modFnc.FSOFileCopy() "));
        EXPECT_EQ(e.description(), L"ActiveX component can't create object") << "unchanged";
    }
}

TEST_F(FileFunctionTest, AFailedCopyIsDescribedAsWhatWentWrong) {
    shell::FSOFileTextCreate(file.path(), L"x");
    try {
        shell::FSOFileCopy(file.path(), L"C:\\no such folder here\\copy.txt", true);
        FAIL() << "copied into a folder that is not there";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), 76);
        EXPECT_EQ(e.description(), L"Path not found");
    }
}

TEST_F(FileFunctionTest, CompleteUrlAddsTheSchemeOnlyWhereHttpIsNowhere) {
    EXPECT_EQ(shell::CompleteUrl(L"www.example.org").toText(), L"http://www.example.org");
    EXPECT_EQ(shell::CompleteUrl(L"https://example.org").toText(), L"https://example.org");
    EXPECT_EQ(shell::CompleteUrl(L"ftp://host/http-docs").toText(), L"ftp://host/http-docs");
    EXPECT_EQ(shell::CompleteUrl(L"HTTP://upper").toText(), L"http://HTTP://upper") << "case-sensitive";
    shell::OpenFileWeb(L"www.example.org", nullptr);
    EXPECT_EQ(shell.calls.at(0), L"open|http://www.example.org|||1");
}

TEST_F(FileFunctionTest, LocalFilesOpenThroughTheShellAndMissingOnesGoToThePathChooser) {
    auto chooser = makeFake(L"Routepick.Engine", suite.log);
    chooser->accept(L"Show");
    suite.factory.define(L"Routepick.Engine", [chooser] { return chooser->object(); });
    shell::FSOFileTextCreate(file.path(), L"x");
    HWND owner = ::GetDesktopWindow();
    shell::OpenFileLocal(file.path(), owner);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0], L"owner open|" + file.path() + L"|||1");
    shell::OpenFileLocal(file.path() + L".gone", owner);
    EXPECT_EQ(shell.calls.size(), 1u) << "the shell is not asked for a missing file";
    EXPECT_EQ(suiteCalls().back(), L"Routepick.Engine.Show(\"" + file.path() + L".gone\")");

    std::wstring parameters = L"-url http://h/ -out C:\\x";
    shell::OpenFileParams(L"C:\\suite\\Pagefetch.exe ", owner, parameters);
    EXPECT_EQ(shell.calls.back(), L"owner open|C:\\suite\\Pagefetch.exe |-url http://h/ -out C:\\x||1");
}

TEST_F(FileFunctionTest, ServerItemsJoinTheBaseAddressWithOneSlash) {
    auto gate = makeFake(L"Gatehouse.Engine", suite.log);
    auto opener = makeFake(L"Webopen.Engine", suite.log);
    auto base = std::make_shared<std::wstring>();
    gate->on(L"GetServerConfig", [base, log = suite.log](const CallArgs&) {
        auto field = makeFake(L"Field", log);
        field->field(L"Value", Variant(*base));
        auto record = makeFake(L"RecordSet", log);
        Variant f(static_cast<IDispatch*>(field.get()));
        record->on(L"fields", [f](const CallArgs&) { return f; });
        return Variant(static_cast<IDispatch*>(record.get()));
    });
    opener->accept(L"OpenInNewWinwodw");
    suite.factory.define(L"Gatehouse.Engine", [gate] { return gate->object(); });
    suite.factory.define(L"Webopen.Engine", [opener] { return opener->object(); });

    *base = L"http://srv/files/";
    shell::OpenFileServer(L"/Price list.xls");
    EXPECT_EQ(suiteCalls().back(), L"Webopen.Engine.OpenInNewWinwodw(\"http://srv/files/Price list.xls\")");
    EXPECT_NE(std::find(suite.log->begin(), suite.log->end(), L"RecordSet.fields(1)"), suite.log->end());
    *base = L"http://srv/files";
    shell::OpenFileServer(L"report.doc");
    EXPECT_EQ(suiteCalls().back(), L"Webopen.Engine.OpenInNewWinwodw(\"http://srv/filesreport.doc\")");

    gate->on(L"GetServerConfig", [](const CallArgs&) -> Variant { throw ComError(3021, L"No record", L"Gatehouse"); });
    try {
        shell::OpenFileServer(L"/x");
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.source(), L"Gatehouse modFileFunction.OpenFileServer() ");
    }
}

TEST_F(FileFunctionTest, OutlookItemsOpenOnlyWhileOutlookRuns) {
    auto watch = makeFake(L"Procwatch.clsEngine", suite.log);
    auto running = std::make_shared<bool>(false);
    watch->on(L"IsRunning", [running](const CallArgs&) { return Variant(*running); });
    auto ns = makeFake(L"Namespace", suite.log);
    auto item = makeFake(L"Item", suite.log);
    item->accept(L"Display");
    Variant itemVar(static_cast<IDispatch*>(item.get()));
    ns->accept(L"Logon").on(L"GetItemFromID", [itemVar](const CallArgs& a) {
        if (a.text(0) == L"bad") throw ComError(-2147221233, L"The operation failed.", L"Outlook");
        return itemVar;
    });
    auto app = makeFake(L"Outlook.Application", suite.log);
    Variant nsVar(static_cast<IDispatch*>(ns.get()));
    app->on(L"GetNamespace", [nsVar](const CallArgs&) { return nsVar; });
    suite.factory.define(L"Procwatch.clsEngine", [watch] { return watch->object(); });
    suite.factory.define(L"Outlook.Application", [app] { return app->object(); });

    shell::OpenFileOutlook(L"00AB");
    ASSERT_EQ(suite.prompter.boxes.size(), 1u);
    EXPECT_EQ(suite.prompter.boxes[0].caption, L"Outlook needed");
    EXPECT_EQ(suite.prompter.boxes[0].text,
              L"Outlook is not running. If you want this action component to run properly please start OUTLOOK aplication ");
    EXPECT_EQ(suite.prompter.boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    for (const auto& c : *suite.log) EXPECT_EQ(c.find(L"Outlook.Application"), std::wstring::npos) << c;

    *running = true;
    suite.log->clear();
    shell::OpenFileOutlook(L"00AB");
    EXPECT_EQ(suiteCalls(), (std::vector<std::wstring>{L"new Procwatch.clsEngine", L"Procwatch.clsEngine.IsRunning(\"OUTLOOK.EXE\")",
                                                       L"new Outlook.Application", L"Outlook.Application.GetNamespace(\"MAPI\")",
                                                       L"Namespace.Logon(<missing>, <missing>, True)",
                                                       L"Namespace.GetItemFromID(\"00AB\")", L"Item.Display()"}));
    EXPECT_NO_THROW(shell::OpenFileOutlook(L"bad")) << "failures after the logon are ignored";
}

}  // namespace
}  // namespace qb::testing
