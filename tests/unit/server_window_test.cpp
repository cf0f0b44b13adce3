// The server item window against the stand-in suite in-process: what it does that the local file
// window does not (its tabs and "Add/Edit keywords", "Ok" with each way of keeping the file, the
// local copy's names and the downloader's command line), and its slot reused by the web operations.
// The shared pages' own behaviour is the local file window's tests' business.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>

#include "engine/engine.h"
#include "engine/slots.h"
#include "in_process_suite.h"
#include "windows/server/frm_relation_server.h"

namespace qb::testing {
namespace {

using windows::frmRelationServer;
namespace fs = std::filesystem;

struct ServerWindowTest : SeededSuite {
    fs::path downloads = fs::temp_directory_path() / ("qbdownloads-" + std::to_string(::GetCurrentProcessId()));
    fs::path chosen = fs::temp_directory_path() / ("qbchosen-" + std::to_string(::GetCurrentProcessId()));
    AnsweringFileDialogs dialogs;
    StartedPrograms shell{playDownloader};
    support::ScopedServices seams{support::Services{
        .objects = nullptr, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = &shell, .files = &dialogs}};
    frmRelationServer window;

    // Item 5 is the server's /Minutes.txt, related to Globex and Acme (in that order).
    void SetUp() override {
        SeededSuite::SetUp();
        for (const fs::path& p : {downloads, chosen}) fs::remove_all(p), fs::create_directories(p);
        db->exec(("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (5, 'Minutes.txt', '/Minutes.txt', 'Server');"
                  "INSERT INTO keyword_items(KeyId, FileId) VALUES (102, 5), (101, 5);"
                  "INSERT INTO settings(Name, Value) VALUES ('DownloadFolder', '" + narrow(downloads.wstring()) + "'),"
                  " ('ServerAddress', 'http://127.0.0.1:8080/files/');").c_str());
        window.oFileSelected = record(L"/Minutes.txt");
    }
    void TearDown() override {
        window.unload();
        for (const fs::path& p : {downloads, chosen}) fs::remove_all(p);
        SeededSuite::TearDown();
    }
    static automation::Object record(const std::wstring& path) {
        return automation::Object(automation::makeObject<tesra::ItemLoader>()).callObject(L"LoadFileWeb", {path, L"", false});
    }
    bool updateShown() { return ::IsWindowVisible(window.keywords.cmdUpdate.handle()) != FALSE; }
    // "Ok" with an option chosen as a click chooses it.
    void okWith(ui::OptionButton& option) {
        window.load();
        ::ShowWindow(window.handle(), SW_SHOWNA);
        option.choose();
        option.onClick();
        window.cmdOk_Click();
    }
    // Beside the component: here the test program is the module the component runs in.
    static std::wstring downloader() {
        wchar_t exe[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        const std::wstring path(exe);
        return L"open " + path.substr(0, path.find_last_of(L'\\')) + L"\\Pagefetch.exe ";
    }
};

TEST_F(ServerWindowTest, TheTabsShowAddEditKeywordsOnTheKeywordsTabAndTheHeaderShowsTheLink) {
    window.load();
    ::ShowWindow(window.handle(), SW_SHOWNA);
    EXPECT_EQ(window.caption(), L"Relations - Minutes.txt") << "named by the Files page, as every relation window";
    EXPECT_EQ(window.RelationTab.selected(), frmRelationServer::kKeywordsTab);
    EXPECT_EQ(window.cmdView.text(), L"Projects");
    EXPECT_EQ(window.info.headerPicture(), L"Link") << "no item header in this window";
    EXPECT_EQ(window.relate.optionPicture(), L"Link");
    EXPECT_TRUE(window.relate.chkLink.value());
    EXPECT_TRUE(updateShown());
    const std::pair<int, bool> clicks[] = {{4, true}, {1, false}, {4, false}, {2, true}, {3, false}, {4, false}};
    for (const auto& [tab, shown] : clicks) {
        window.RelationTab.select(tab);
        EXPECT_EQ(updateShown(), shown) << "after tab " << tab;
    }
    window.relate.chkLocalCopyOP.choose();
    window.relate.chkLocalCopyOP.onClick();
    EXPECT_EQ(window.relate.optionPicture(), L"LocalCopy");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(ServerWindowTest, OkWithLinkStartsNothingAndCancelKeepsWhatWasStored) {
    okWith(window.relate.chkLink);
    EXPECT_FALSE(window.isLoaded());
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(fs::is_empty(downloads));

    window.load();
    window.keywords.pvtreeKeys.select(window.keywords.SearchNode(L"111"));
    window.keywords.pvtreeKeys_LButtonDblClick(window.keywords.SearchNode(L"111"));
    window.cmdCancel_Click();
    EXPECT_FALSE(window.isLoaded());
    EXPECT_EQ(store.query("SELECT count(*) FROM keyword_items WHERE FileId = 5 AND KeyId = 111"), L"1");
    EXPECT_TRUE(shell.started.empty());
}

// Made by the downloader and waited for: the name from the server path ("PageCopy.htm" for one
// that is no file name), a numbered copy beside an earlier one, the full server address on its
// line, and every keyword of the item on the copy, taken from the suite, not from the list.
TEST_F(ServerWindowTest, ALocalCopyIsMadeByTheDownloaderAndCarriesEveryKeywordOfTheItem) {
    auto keywordsOf = [&](const fs::path& copy) {
        return store.query(("SELECT group_concat(KeyId) FROM (SELECT KeyId FROM keyword_items JOIN items USING (FileId)"
                            " WHERE FileCurrentPath = '" + narrow(copy.wstring()) + "' ORDER BY KeyId)").c_str());
    };
    window.load();
    window.keywords.lstKeyRel.clear();  // a list that did not load
    okWith(window.relate.chkLocalCopyDP);
    const fs::path first = downloads / L"Minutes.txt";
    ASSERT_EQ(shell.started, std::vector<std::wstring>{downloader()});
    EXPECT_EQ(shell.parameters[0], L"http://127.0.0.1:8080/files/Minutes.txt | " + first.wstring() + L" | 102 | 101");
    EXPECT_EQ(fs::file_size(first), std::string("copy of http://127.0.0.1:8080/files/Minutes.txt").size()) << "the downloader's";
    EXPECT_EQ(keywordsOf(first), L"101,102");
    EXPECT_FALSE(window.isLoaded());
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_EQ(keywordsOf(downloads / L"Copy (1) of Minutes.txt"), L"101,102");

    // More keywords than a command line carries: the rest are related once the copy is recorded.
    db->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1200)"
             " INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) SELECT 100000 + i, 'k' || i, 10, 1 FROM n;"
             "INSERT INTO keyword_items(KeyId, FileId) SELECT KeyId, 5 FROM keywords WHERE KeyId > 100000;");
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_LE(shell.parameters.back().size(), 8000u);
    EXPECT_EQ(store.query(("SELECT count(*) FROM keyword_items JOIN items USING (FileId) WHERE FileCurrentPath = '" +
                           narrow((downloads / L"Copy (2) of Minutes.txt").wstring()) + "'").c_str()),
              L"1202");

    // A server path whose last piece is no file name: the copy stays in the download folder.
    for (const char* path : {"/reports/", "/reports/..\\..\\escaped.txt", "/wiki/Talk:Foo"}) {
        db->exec(("UPDATE items SET FileCurrentPath = '" + std::string(path) + "' WHERE FileId = 5").c_str());
        window.oFileSelected = record(std::wstring(path, path + std::strlen(path)));
        okWith(window.relate.chkLocalCopyDP);
        EXPECT_NE(shell.parameters.back().find(L" | " + downloads.wstring() + L"\\"), std::wstring::npos) << path;
        EXPECT_NE(shell.parameters.back().find(L"PageCopy.htm | "), std::wstring::npos) << path;
    }
    EXPECT_FALSE(fs::exists(downloads.parent_path().parent_path() / L"escaped.txt"));
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

// A downloader that fails, leaves no file or no record, cannot be started, or that the user gives
// up: the user is told why (not of a cancel), nothing of the copy is left on disk or in the
// suite, and the window stays open for another try.
TEST_F(ServerWindowTest, ACopyThatFailsOrIsCancelledLeavesNothingAndKeepsTheWindow) {
    auto target = [](const std::wstring& parameters) {
        const size_t from = parameters.find(L" | ") + 3, to = parameters.find(L" | ", from);
        return parameters.substr(from, to == std::wstring::npos ? std::wstring::npos : to - from);
    };
    struct Case {
        const char* name;
        std::function<DWORD(const std::wstring&)> run;
        bool hang;
        const wchar_t* saying;  // nullptr: no report
    };
    const Case cases[] = {
        {"failure status", [](const std::wstring&) -> DWORD { return 1; }, false, L"ended with status 1"},
        {"no file", [&](const std::wstring& p) -> DWORD { return ::DeleteFileW(target(p).c_str()) ? 0 : 9; }, false, L"left no file"},
        {"no record", [&](const std::wstring& p) -> DWORD { std::ofstream(fs::path(target(p))) << "page"; return 0; }, false, L"made no record"},
        {"not started", [](const std::wstring&) -> DWORD { throw automation::ComError(53, L"Cannot start Pagefetch.exe"); }, false,
         L"Cannot start"},
        {"cancelled", playDownloader, true, nullptr},
    };
    for (const Case& c : cases) {
        shell.run = c.run;
        shell.hang = c.hang;
        fakes.prompter.boxes.clear();
        // Cancel pressed on the progress window while the downloader runs.
        const UINT_PTR timer = c.hang ? ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) WINAPI {
            if (HWND progress = ::FindWindowW(L"QuillboxForm", L"Local Copy"))
                ::SendMessageW(::FindWindowExW(progress, nullptr, L"BUTTON", L"Cancel"), BM_CLICK, 0, 0);
        }) : 0;
        okWith(window.relate.chkLocalCopyDP);
        if (timer) ::KillTimer(nullptr, timer);
        ASSERT_EQ(fakes.prompter.boxes.size(), c.saying ? 1u : 0u) << c.name;
        if (c.saying) {
            EXPECT_NE(fakes.prompter.boxes[0].text.find(c.saying), std::wstring::npos) << narrow(fakes.prompter.boxes[0].text);
        }
        EXPECT_TRUE(fs::is_empty(downloads)) << c.name;
        EXPECT_EQ(store.query("SELECT count(*) FROM items WHERE FileType = 'File' AND FileCurrentPath LIKE '%Minutes.txt'"), L"0") << c.name;
        EXPECT_TRUE(window.isLoaded()) << c.name;
        window.unload();
    }
}

// Refused before anything is written: all 99 numbered names taken (the user's 99th copy is not
// overwritten), or no download folder set (the copy would land wherever the host happens to be).
TEST_F(ServerWindowTest, ACopyWithNoFreeNameOrNoDownloadFolderIsRefusedAndWritesNothing) {
    std::ofstream(downloads / L"Minutes.txt") << "x";
    for (int n = 1; n <= 99; ++n) std::ofstream(downloads / (L"Copy (" + std::to_wstring(n) + L") of Minutes.txt")) << "x";
    okWith(window.relate.chkLocalCopyDP);
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_NE(fakes.prompter.boxes[0].text.find(L"are all taken in " + downloads.wstring()), std::wstring::npos);
    EXPECT_EQ(fs::file_size(downloads / L"Copy (99) of Minutes.txt"), 1u);
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(window.isLoaded());
    const std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmRelationServer.RelDownLoadFile()   frmRelationServer.cmdOk_Click() "), std::string::npos) << log;

    for (const char* folder : {"", "  ", "Copies"}) {
        db->exec(("UPDATE settings SET Value = '" + std::string(folder) + "' WHERE Name = 'DownloadFolder';").c_str());
        fakes.prompter.boxes.clear();
        okWith(window.relate.chkLocalCopyDP);
        ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << folder;
        EXPECT_NE(fakes.prompter.boxes[0].text.find(L"DownloadFolder"), std::wstring::npos) << narrow(fakes.prompter.boxes[0].text);
        EXPECT_FALSE(fs::exists(L"\\Minutes.txt")) << folder;
        EXPECT_FALSE(fs::exists(L"Copies")) << folder;
    }
    EXPECT_TRUE(shell.started.empty());
}

TEST_F(ServerWindowTest, ALocalCopyInAChosenFolderTakesTheChosenTitleAndCancelStartsNothing) {
    dialogs.saved = {(chosen / L"Board minutes").wstring(), L"Board minutes"};
    okWith(window.relate.chkLocalCopyOP);
    EXPECT_EQ(dialogs.proposed, std::vector<std::wstring>{L"Minutes.txt"}) << "the last piece of the server address";
    EXPECT_EQ(shell.parameters.at(0),
              L"http://127.0.0.1:8080/files/Minutes.txt | " + chosen.wstring() + L"\\Board minutes.htm | 102 | 101");
    EXPECT_TRUE(fs::exists(chosen / L"Board minutes.htm"));
    okWith(window.relate.chkLocalCopyOP);
    EXPECT_NE(shell.parameters.at(1).find(L"\\Copy (1) Board minutes.htm | "), std::wstring::npos) << "no \"of\"";

    dialogs.saved = {};
    const auto before = std::distance(fs::directory_iterator(chosen), fs::directory_iterator());
    okWith(window.relate.chkLocalCopyOP);
    EXPECT_EQ(shell.started.size(), 2u) << "cancelled: nothing started";
    EXPECT_EQ(std::distance(fs::directory_iterator(chosen), fs::directory_iterator()), before);
    EXPECT_FALSE(window.isLoaded()) << "and the window closes";
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

// The web operations reuse the window of the slot: the same object loads again from nothing, and
// a call while it is shown is refused before anything changes.
TEST_F(ServerWindowTest, TheWebOperationsReuseTheSlotsWindowAndRefuseACallWhileItIsShown) {
    automation::Object engine(engine::createEngine());
    frmRelationServer* first = nullptr;
    long refused = 0;
    fakes.modal.script = [&](ui::Form& form) {
        auto& w = dynamic_cast<frmRelationServer&>(form);
        first = &w;
        EXPECT_FALSE(w.info.txtPathUpdate.enabled()) << "the opener disables the path";
        w.keywords.txtFilter.setText(L"glo");
        w.relate.chkLocalCopyOP.choose();
        try {
            engine.call(L"ShowRelationWebEdition", {L"/Minutes.txt"});
        } catch (const automation::ComError& e) {
            refused = e.number();
        }
        EXPECT_TRUE(w.isLoaded());
        w.cmdCancel_Click();
    };
    engine.call(L"ShowRelationWeb", {L"/Minutes.txt"});
    EXPECT_EQ(refused, 400);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(engine::formSlots().relationServer.get(), first) << "kept in its slot";

    fakes.modal.script = [&](ui::Form& form) {
        auto& w = dynamic_cast<frmRelationServer&>(form);
        EXPECT_EQ(&w, first) << "the same window object";
        EXPECT_TRUE(w.relate.chkLink.value()) << "loaded again from nothing";
        EXPECT_EQ(w.keywords.txtFilter.text(), L"");
        EXPECT_NE(w.keywords.SearchNode(L"111"), nullptr) << "the whole tree, no filter";
        EXPECT_EQ(w.strUrl, L"/Minutes.txt");
        w.cmdCancel_Click();
    };
    engine.call(L"ShowRelationWebEdition", {L"/Minutes.txt"});
    EXPECT_EQ(fakes.modal.shown, 2);
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

}  // namespace
}  // namespace qb::testing
