// Bad input and a hostile environment around the relation window: view ids in the registry
// that are no view, a skin that is missing or not a skin, a log that cannot be written, a
// database another process holds while a change is stored, the item's file gone between the
// load and an action, the item's record deleted by another process while the window is open.
// Each case: the report the conventions define (or none, where the behaviour is a quiet one),
// one log block per report, nothing stored changed by a failed step, and the screen showing
// nothing that is not stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "in_process_suite.h"
#include "screen_check.h"
#include "windows/relation/frm_quillbox.h"
#include "windows/dialogs/exist_file_server.h"

namespace qb::testing {
namespace {

namespace fs = std::filesystem;
using windows::frmQuillbox;

struct BusyWait {
    BusyWait() { ::SetEnvironmentVariableW(L"TESRA_BUSY_MS", L"300"); }  // before any connection opens
    ~BusyWait() { ::SetEnvironmentVariableW(L"TESRA_BUSY_MS", nullptr); }
};

struct Case {
    std::string name;
    std::function<void()> before;             // before the window loads
    std::function<void(frmQuillbox&)> act;    // once it is loaded (nothing: the load is the action)
    int reports = 0;                          // boxes expected
    std::wstring saying;                      // what the one report's text holds
    bool storedStays = true;                  // the stored rows are as before the action
    // What another process removed stays on the screen until the window reads it again: no step
    // of the window put it there. Such cases check the stored rows only.
    bool screenChecked = true;
};

struct HostileTest : SeededSuite {
    BusyWait busy;
    AnsweringFileDialogs dialogs;
    StartedPrograms shell{playDownloader};
    std::wstring logFile;  // empty: the fakes' log
    support::ScopedServices seams{support::Services{
        .objects = nullptr, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = &shell, .files = &dialogs}};
    fs::path server = fs::temp_directory_path() / ("qbhostile-" + std::to_string(::GetCurrentProcessId()));
    fs::path local = fs::temp_directory_path() / ("qbhostile-" + std::to_string(::GetCurrentProcessId()) + ".txt");
    ExistingFile chosen{L"qbhostilechosen"};
    std::shared_ptr<tesra::Database> other;  // another process's hold on the database

    void SetUp() override {
        SeededSuite::SetUp();
        dialogs.otherwise = chosen.path();
        fakes.modal.script = [](ui::Form& form) { form.hide(); };
    }
    void TearDown() override {
        fs::remove_all(server);
        fs::remove(local);
        SeededSuite::TearDown();
    }
    void reseed() {
        support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", L"1");
        fs::remove_all(server);
        fs::create_directories(server);
        std::ofstream(local) << "local\r\n";
        db->exec("DELETE FROM attachments; DELETE FROM keyword_items; DELETE FROM memo_categories; DELETE FROM memos;"
                 "DELETE FROM items; DELETE FROM settings;");
        db->exec(("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (1, 'Report', '" +
                  local.string() + "', 'File'), (2, 'Site', 'www.example.com', 'Web');"
                  "INSERT INTO keyword_items(KeyId, FileId) VALUES (101, 1), (201, 1);"
                  "INSERT INTO attachments(Attach1, Attach2) VALUES (1, 2);"
                  "INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES (1, 1, 'First', '1', 1), (2, 1, 'Second', '3', 1);"
                  "INSERT INTO settings(Name, Value) VALUES ('ServerFolder', '" + server.string() + "');")
                     .c_str());
    }
    // Everything the window could change, in one text.
    std::wstring stored() {
        return store.query(
            "SELECT (SELECT coalesce(group_concat(FileId || ':' || FileName || ':' || coalesce(FileComment, ''), ','), '') FROM items)"
            " || '|' || (SELECT coalesce(group_concat(KeyId || '-' || FileId, ','), '') FROM keyword_items)"
            " || '|' || (SELECT coalesce(group_concat(MemoId, ','), '') FROM memos)"
            " || '|' || (SELECT coalesce(group_concat(Attach1 || '-' || Attach2, ','), '') FROM attachments)");
    }
    void hold() {
        other = tesra::Database::open(store.path());
        other->exec("BEGIN IMMEDIATE");
    }
    void release() {
        if (other) other->exec("ROLLBACK");
        other.reset();
    }
};

size_t blocks(const std::string& log) {
    size_t n = 0;
    for (size_t at = log.find("-- ERROR --"); at != std::string::npos; at = log.find("-- ERROR --", at + 1)) ++n;
    return n;
}

TEST_F(HostileTest, BadInputAndAHostileEnvironmentAreReportedAndLoseNothing) {
    auto relate = [](frmQuillbox& w) {
        HTREEITEM node = w.keywords.SearchNode(L"102");
        w.keywords.pvtreeKeys.select(node);
        w.keywords.pvtreeKeys_LButtonDblClick(node);
    };
    auto unrelate = [](frmQuillbox& w) {
        w.keywords.lstKeyRel.select(0);
        w.keywords.lstKeyRel_DblClick();
    };
    auto removeMemo = [](frmQuillbox& w) {
        w.themes.grdMemo.selectRow(1);
        w.themes.cmdUnRelMemo_Click();
    };
    auto rename = [](frmQuillbox& w) {
        w.info.txtNameUpdate.setText(L"Renamed");
        w.info.cmdUpdateData_Click();
    };
    auto locked = [&](std::function<void(frmQuillbox&)> step) {
        return [this, step](frmQuillbox& w) {
            hold();
            step(w);
            release();
        };
    };
    auto viewSetting = [](std::wstring value) {
        return [value] { support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", value); };
    };
    std::vector<Case> cases;
    for (const wchar_t* bad : {L"abc", L"99999", L"-70000", L"1.5", L"", L"0x1", L"7"})
        cases.push_back({"view setting \"" + narrow(bad) + "\"", viewSetting(bad), nullptr, 0});
    cases.push_back({"skin missing", nullptr, nullptr, 1, L"File not found", true});
    cases.push_back({"skin that is no skin", nullptr, nullptr, 1, L"", true});
    const std::wstring busy = L"database is locked";
    cases.push_back({"locked while relating", nullptr, locked(relate), 1, busy});
    cases.push_back({"locked while unrelating", nullptr, locked(unrelate), 1, busy});
    cases.push_back({"locked while removing a memo", nullptr, locked(removeMemo), 1, busy});
    cases.push_back({"locked while attaching", nullptr, locked([](frmQuillbox& w) { w.files.cmdAddAttach_Click(); }), 1, busy});
    cases.push_back({"locked while renaming", nullptr, locked(rename), 1, busy});
    cases.push_back({"locked while relating, log unwritable", [this] { logFile = L"Q:\\no\\such\\folder\\Quillbox.Log"; },
                     locked(relate), 1, busy});
    // The suite answers no server path for a file it cannot read: the user hears that nothing went.
    cases.push_back({"file gone, then upload", nullptr,
                     [this](frmQuillbox& w) {
                         fs::remove(local);
                         w.cmdUpload_Click();
                     },
                     1, L"Nothing was sent"});
    auto deleted = [this](std::function<void(frmQuillbox&)> step) {
        return [this, step](frmQuillbox& w) {
            tesra::Database::open(store.path())->exec("DELETE FROM items WHERE FileId = 1");
            step(w);
        };
    };
    // The record gone (and, with it, what the suite stored for it): a step that would store
    // something for it is refused; removing a memo that went with it is quiet.
    cases.push_back({"record deleted, then relate", nullptr, deleted(relate), 1, L"", false, false});
    cases.push_back({"record deleted, then attach", nullptr, deleted([](frmQuillbox& w) { w.files.cmdAddAttach_Click(); }), 1,
                     L"", false, false});
    cases.push_back({"record deleted, then rename", nullptr, deleted(rename), 1, L"", false, false});
    cases.push_back({"record deleted, then remove a memo", nullptr, deleted(removeMemo), 0, L"", false, false});

    size_t misses = 0;
    for (const Case& c : cases) {
        reseed();
        logFile.clear();
        fakes.prompter.boxes.clear();
        fakes.logFile.clear();
        std::unique_ptr<SkinMoved> skin;
        if (c.name.starts_with("skin")) {
            skin = std::make_unique<SkinMoved>();
            ASSERT_TRUE(skin->moved());
            if (c.name == "skin that is no skin") {
                wchar_t exe[MAX_PATH];
                ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
                std::ofstream(fs::path(exe).parent_path() / "skin" / "mac.skn", std::ios::binary) << "\x01\xFF not a skin";
            }
        }
        if (c.before) c.before();
        support::ScopedServices log{support::Services{.objects = nullptr, .prompter = nullptr, .modal = nullptr,
                                                      .logFile = logFile.empty() ? fakes.logFile.path() : logFile,
                                                      .shell = &shell, .files = &dialogs}};
        std::vector<std::string> wrong;
        {
            frmQuillbox window;
            window.oFileSelected = loadItem(local.wstring());
            window.m_UserFile = local.wstring();
            const std::wstring before = stored();
            window.load();
            if (c.act) {
                fakes.prompter.boxes.clear();  // the load's own report, if any, is not the step's
                fakes.logFile.clear();
                c.act(window);
            }
            if (c.storedStays && c.act && stored() != before) wrong.push_back("what was stored changed");
            if (!window.isLoaded()) {
                wrong.push_back("the window closed");
            } else if (c.screenChecked) {
                for (const std::string& w : screenDisagreement(window, *db, 1, Agreement::NoMoreThan)) wrong.push_back(w);
            }
            // A view setting that names no view: the window takes a view that exists and writes it back.
            const std::wstring view = std::to_wstring(window.SelectedViewId);
            if (!c.act && c.reports == 0 && store.query(("SELECT count(*) FROM views WHERE ViewId = " + narrow(view)).c_str()) != L"1")
                wrong.push_back("the view in use (" + narrow(view) + ") is no view");
            if (!c.act && c.reports == 0 && support::GetSetting(L"Vellumdex", L"Selected View Shell", L"ID", L"") != view)
                wrong.push_back("the view setting was not written back");
            window.unload();
        }
        windows::existFileServerSlot().clear();
        release();
        const auto& boxes = fakes.prompter.boxes;
        if (static_cast<int>(boxes.size()) != c.reports) wrong.push_back(std::to_string(boxes.size()) + " reports");
        const size_t logged = blocks(fakes.logFile.read());
        const size_t expectedBlocks = logFile.empty() ? static_cast<size_t>(c.reports) : 0;
        if (logged != expectedBlocks) wrong.push_back(std::to_string(logged) + " log blocks");
        if (!c.saying.empty() && !boxes.empty() && boxes[0].text.find(c.saying) == std::wstring::npos)
            wrong.push_back("the report does not say \"" + narrow(c.saying) + "\": " + narrow(boxes[0].text));
        if (!boxes.empty() && !boxes[0].caption.starts_with(L"Relations") && boxes[0].caption != L"QuillboxUploadItem")
            wrong.push_back("a report titled " + narrow(boxes[0].caption));
        for (const std::string& w : wrong) ADD_FAILURE() << c.name << ": " << w;
        if (!wrong.empty()) ++misses;
    }
    std::printf("bad input and hostile environment: %zu cases tried, %zu misses\n", cases.size(), misses);
    EXPECT_EQ(misses, 0u);
}

}  // namespace
}  // namespace qb::testing
