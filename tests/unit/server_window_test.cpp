// The server item window against the stand-in suite in-process: what it does that the local file
// window does not (its tabs and "Add/Edit keywords", "Ok" with each way of keeping the file, the
// local copy's names and the downloader's command line), and its slot reused by the web operations.
// The shared pages' own behaviour is the local file window's tests' business.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "automation/module.h"
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
    StartedPrograms shell;
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
    static std::wstring downloader() { return L"open " + automation::moduleFolder() + L"\\Pagefetch.exe "; }
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

// The default folder: the name from the server path, a numbered copy beside an earlier one, the
// full server address and the related keywords in the list's order on the downloader's line.
TEST_F(ServerWindowTest, ALocalCopyInTheDownloadFolderReservesItsFileAndStartsTheDownloader) {
    okWith(window.relate.chkLocalCopyDP);
    const std::wstring first = downloads.wstring() + L"\\Minutes.txt";
    ASSERT_EQ(shell.started, std::vector<std::wstring>{downloader()});
    EXPECT_EQ(shell.parameters[0], L"http://127.0.0.1:8080/files/Minutes.txt | " + first + L" | 102 | 101");
    EXPECT_TRUE(fs::exists(first));
    EXPECT_EQ(fs::file_size(first), 0u);
    EXPECT_FALSE(window.isLoaded());

    okWith(window.relate.chkLocalCopyDP);
    EXPECT_EQ(shell.parameters[1],
              L"http://127.0.0.1:8080/files/Minutes.txt | " + downloads.wstring() + L"\\Copy (1) of Minutes.txt | 102 | 101");

    // No keywords related: the line ends with the target.
    db->exec("DELETE FROM keyword_items WHERE FileId = 5");
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_EQ(shell.parameters[2],
              L"http://127.0.0.1:8080/files/Minutes.txt | " + downloads.wstring() + L"\\Copy (2) of Minutes.txt");
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(ServerWindowTest, ANameWithoutADotIsAPageCopyAndWithAllNinetyNineTakenNothingIsCreated) {
    db->exec("UPDATE items SET FileCurrentPath = '/reports/' WHERE FileId = 5");
    window.oFileSelected = record(L"/reports/");
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_NE(shell.parameters.at(0).find(L" | " + downloads.wstring() + L"\\PageCopy.htm | "), std::wstring::npos)
        << narrow(shell.parameters[0]);
    EXPECT_EQ(shell.parameters[0].substr(0, 38), L"http://127.0.0.1:8080/files/reports/ |") << "the full address";

    // A server path whose last piece is a path of its own: the copy stays in the download folder.
    db->exec("UPDATE items SET FileCurrentPath = '/reports/..\\..\\escaped.txt' WHERE FileId = 5");
    window.oFileSelected = record(L"/reports/..\\..\\escaped.txt");
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_NE(shell.parameters.at(1).find(L" | " + downloads.wstring() + L"\\Copy (1) of PageCopy.htm | "), std::wstring::npos)
        << narrow(shell.parameters[1]);
    EXPECT_FALSE(fs::exists(downloads.parent_path().parent_path() / L"escaped.txt"));

    for (int n = 1; n <= 99; ++n) std::ofstream(downloads / (L"Copy (" + std::to_wstring(n) + L") of PageCopy.htm")) << "x";
    const auto before = std::distance(fs::directory_iterator(downloads), fs::directory_iterator());
    okWith(window.relate.chkLocalCopyDP);
    EXPECT_EQ(std::distance(fs::directory_iterator(downloads), fs::directory_iterator()), before) << "nothing created";
    EXPECT_NE(shell.parameters.at(2).find(L"\\Copy (99) of PageCopy.htm | "), std::wstring::npos)
        << "the downloader still gets the 99th: " << narrow(shell.parameters[2]);
    EXPECT_EQ(fs::file_size(downloads / L"Copy (99) of PageCopy.htm"), 1u) << "and it is not emptied";
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

TEST_F(ServerWindowTest, AFailedCopyIsReportedUnderThisWindowsNamesAndTheWindowStaysOpen) {
    db->exec(("UPDATE settings SET Value = '" + narrow(downloads.wstring()) + "\\missing\\deeper' WHERE Name = 'DownloadFolder';").c_str());
    fs::create_directories(downloads / L"missing");
    std::ofstream(downloads / L"missing" / L"deeper") << "a file where the folder should be";
    okWith(window.relate.chkLocalCopyDP);
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].caption, window.caption());
    const std::string log = fakes.logFile.read();
    EXPECT_NE(log.find(" frmRelationServer.RelDownLoadFile()   frmRelationServer.cmdOk_Click() "), std::string::npos) << log;
    EXPECT_EQ(log.find("frmQuillbox"), std::string::npos);
    EXPECT_TRUE(window.isLoaded()) << "the user may choose another way";
    EXPECT_TRUE(shell.started.empty());
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
