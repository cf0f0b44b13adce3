// Every suite call a handler of the relation window makes, made to fail in turn: each failure
// gives one report and one log block under the handler's name, leaves the window usable and
// showing nothing the suite does not store; and no reference the window took is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <set>

#include "choosers.h"
#include "engine/engine.h"
#include "fault_injection.h"
#include "in_process_suite.h"
#include "screen_check.h"
#include "windows/dialogs/edit_dialogs.h"
#include "windows/dialogs/exist_file_server.h"
#include "windows/dialogs/keywords_viewer.h"
#include "windows/relation/frm_quillbox.h"
#include "windows/outlook/frm_relation_outlook.h"
#include "windows/server/frm_relation_server.h"
#include "windows/web/frm_relation_web.h"
#include "windows/dialogs/exist_file_server.h"

namespace qb::testing {
namespace {

using windows::frmExistFileServer;
using windows::frmQuillbox;
namespace fs = std::filesystem;

// One handler of the window: what it needs first, how it runs, how its failures are reported.
// A handler of a relation window W, with what prepares it.
template <class W>
struct HandlerOf {
    const wchar_t* name;
    std::function<void(W&)> prepare;
    std::function<void(W&)> run;
    bool ignoring = false;  // failures pass in silence
    // A procedure whose failures past a point are logged and not reported ("frmX.Proc()").
    const wchar_t* logsOnly = nullptr;
};
using Handler = HandlerOf<frmQuillbox>;

size_t blocks(const std::string& log);
std::string sourceOf(const std::string& log);

struct ReliabilityTest : SeededSuite {
    std::shared_ptr<Injection> injection = std::make_shared<Injection>();
    FaultInjectingFactory faulty{suiteObjects, injection};
    AnsweringFileDialogs dialogs;
    StartedPrograms shell{playDownloader};
    support::ScopedServices seams{support::Services{
        .objects = &faulty, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = &shell, .files = &dialogs}};
    ExistingFile local{L"qbrelocal", "local\r\n"}, other{L"qbreother", "other\r\n"}, chosen{L"qbrechosen", "chosen\r\n"};
    fs::path server = fs::temp_directory_path() / ("qbreserver-" + std::to_string(::GetCurrentProcessId()));

    void SetUp() override {
        SeededSuite::SetUp();
        dialogs.otherwise = chosen.path();
        // The suite's own dialogs are answered at once (cancelled); the memo dialog is given a
        // category and Ok, unless its load went wrong already (then it is cancelled).
        fakes.modal.script = [this](ui::Form& form) {
            auto* memo = dynamic_cast<windows::frmMemoRelation*>(&form);
            if (!memo) return form.hide();
            if (fakes.prompter.boxes.empty() && memo->TreeCategory1.active()) {
                chooseFirstCategory(*memo);
                if (memo->selectCatId) memo->cmdOk_Click();
            }
            if (memo->isLoaded()) memo->cmdExit_Click();
        };
    }
    void TearDown() override {
        windows::existFileServerSlot().clear();
        fs::remove_all(server);
        SeededSuite::TearDown();
    }
    static void chooseFirstCategory(windows::frmMemoRelation& d) {
        HWND t = ::FindWindowExW(d.TreeCategory1.controlWindow(), nullptr, WC_TREEVIEWW, nullptr);
        if (t) TreeView_SelectItem(t, TreeView_GetChild(t, TreeView_GetRoot(t)));
    }
    // The item (a local file), related to 101 (view 1) and 201 (view 2), with a web page and a
    // local file attached; a fresh file server.
    void reseed() {
        support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", L"1");  // a view change writes it
        fs::remove_all(server);
        fs::create_directories(server);
        db->exec("DELETE FROM attachments; DELETE FROM keyword_items; DELETE FROM items; DELETE FROM settings;"
                 "DELETE FROM outlook_items; INSERT INTO outlook_items(EntryID, Subject, Body, MessageClass)"
                 " VALUES ('00AB', 'Re: plan', 'Body', 'IPM.Note');");
        db->exec(("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (1, 'Report', '" +
                  narrow(local.path()) + "', 'File'), (2, 'Site', 'www.example.com', 'Web'), (3, 'Other', '" +
                  narrow(other.path()) + "', 'File');"
                  "INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (4, 'Price list.xls', '/Price list.xls', 'Server'),"
                  " (5, 'Re: plan', '00AB', 'OutlookMail');"
                  "INSERT INTO keyword_items(KeyId, FileId) VALUES (101, 1), (201, 1), (101, 4), (201, 4), (101, 5), (201, 5);"
                  "INSERT INTO attachments(Attach1, Attach2) VALUES (4, 2);"
                  "INSERT INTO attachments(Attach1, Attach2) VALUES (1, 2), (3, 1);"
                  "DELETE FROM categories; INSERT INTO categories(CatId, CatName, ParentCategoryId, ViewId) VALUES"
                  " (100, 'Company', 0, 1), (110, 'Sales', 100, 1), (200, 'Family', 0, 2);"
                  "DELETE FROM memo_categories; DELETE FROM memos; INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES"
                  " (1, 1, 'First', '1', 1), (2, 1, 'Second', '2', 1), (3, 1, 'Personal', '4', 2);"
                  "INSERT INTO settings(Name, Value) VALUES ('ServerFolder', '" + narrow(server.wstring()) + "'),"
                  " ('DownloadFolder', '" + narrow(server.wstring()) + "');")
                     .c_str());
        db->exec(extraSeed.c_str());
    }
    std::string extraSeed;  // a test's own rows, seeded again before every run

    // Runs each handler with each of its suite calls failing in turn: one report, one log block
    // under the handler's name in `window`, nothing shown that is not stored, no reference left.
    // Answers the misses; `points` counts the runs.
    template <class W>
    size_t sweep(const std::vector<HandlerOf<W>>& handlers, const wchar_t* window, size_t& points) {
        size_t misses = 0;
        for (const HandlerOf<W>& h : handlers) {
            const std::wstring expected = std::wstring(window) + L"." + h.name + L"()";
            Outcome counted = runOnce(h, 0);
            EXPECT_GT(counted.calls, 0) << narrow(h.name) << ": no suite call to make fail";
            EXPECT_TRUE(counted.boxes.empty()) << narrow(h.name) << ": reported without a failure: " << counted.log;
            EXPECT_TRUE(counted.broken.empty()) << narrow(h.name) << ": " << (counted.broken.empty() ? "" : counted.broken[0]);
            EXPECT_EQ(counted.live, 0) << narrow(h.name) << ": references left";
            EXPECT_NE(counted.storedBefore.find(L':'), std::wstring::npos) << "the suite's items were not read";
            // A change made in several calls is also tried with the database gone for good from
            // call k on: then its put-back fails too.
            const std::wstring name = h.name;
            const bool allOrNothing = name == L"cmdOk_Click" || name == L"cmdUpdateData_Click";
            for (long run = 0; run < (allOrNothing ? 2 : 1) * counted.calls; ++run) {
                const long k = run % counted.calls + 1;
                const bool andLater = run >= counted.calls;
                ++points;
                Outcome o = runOnce(h, k, andLater);
                const std::string where = narrow(h.name) + " with call " + std::to_string(k) + " (" + narrow(o.failed) + ")" +
                                          (andLater ? " and every later one" : "") + " failing";
                bool ok = true;
                auto miss = [&](bool good, const std::string& what) {
                    if (!good) {
                        ok = false;
                        ADD_FAILURE() << where << ": " << what;
                    }
                };
                const std::string logger = h.logsOnly ? narrow(h.logsOnly) : std::string("\x01");
                const std::string logged = sourceOf(o.log);
                if (h.ignoring) {
                    miss(o.boxes.empty() && blocks(o.log) == 0, "an ignored failure was reported");
                } else if (o.boxes.empty() && blocks(o.log) == 1 && logged.size() >= logger.size() &&
                           logged.compare(logged.size() - logger.size(), logger.size(), logger) == 0) {
                    // logged where the procedure goes on
                } else {
                    miss(o.boxes.size() == 1, std::to_string(o.boxes.size()) + " reports");
                    miss(blocks(o.log) == 1, std::to_string(blocks(o.log)) + " log blocks:\n" + o.log);
                    const std::string source = sourceOf(o.log);
                    const bool upload = !o.boxes.empty() && o.boxes[0].caption == L"QuillboxUploadItem";
                    // The memo dialog reports under its own handlers, in a box of its own title.
                    const bool memo = !o.boxes.empty() && o.boxes[0].caption == L"Theme";
                    const std::string tail = narrow(upload ? L"modLocalFunction.UploadItem()" : expected);
                    miss(memo ? source.find(" frmMemoRelation.") != std::string::npos
                              : source.size() >= tail.size() && source.compare(source.size() - tail.size(), tail.size(), tail) == 0,
                         "source \"" + source + "\" does not end with " + tail);
                    miss(o.boxes.empty() || upload || memo || o.boxes[0].caption.starts_with(L"Relations"),
                         "report titled " + narrow(o.boxes.empty() ? L"" : o.boxes[0].caption));
                }
                for (const std::string& b : o.broken) miss(false, b);
                // Changes made in several calls: a failing one leaves the suite as it was (a failing
                // reload after Update Info's writes leaves them stored), or, when what was written
                // cannot be put back, the report says so.
                const bool saysHalfMade = !o.boxes.empty() && o.boxes[0].text.find(L"could not be put back") != std::wstring::npos;
                if (name == L"cmdOk_Click" || (name == L"cmdUpdateData_Click" && o.failed.find(L"UpDate") != std::wstring::npos))
                    miss(o.storedAfter == o.storedBefore || (andLater && saysHalfMade),
                         "a failed change was left half made without a word:\n" + narrow(o.storedBefore) + "\n-- after --\n" +
                             narrow(o.storedAfter));
                miss(o.live == 0, std::to_string(o.live) + " references left");
                if (!ok) ++misses;
            }
        }
        return misses;
    }

    struct Outcome {
        long calls = 0;
        std::wstring failed;
        std::vector<FakePrompter::Box> boxes;
        std::string log;
        std::vector<std::string> broken;  // what the screen showed that the suite does not store, and the like
        long live = 0;
        std::wstring storedBefore, storedAfter;  // the suite's rows and the files beside them
    };

    // What the suite stores of items, relations and memos, and the files in the server (and
    // download) folder.
    std::wstring stored() {
        // Each part on its own line, empty when there are no rows (a NULL would blank the whole).
        std::wstring out = store.query(
            "SELECT ifnull((SELECT group_concat(FileId || ':' || ifnull(FileName, '') || ':' || ifnull(FileType, '') || ':' ||"
            " ifnull(FileCurrentPath, '') || ':' || ifnull(FileComment, ''), ' ') FROM items), '') || '\n' ||"
            " ifnull((SELECT group_concat(KeyId || '-' || FileId, ' ') FROM keyword_items), '') || '\n' ||"
            " ifnull((SELECT group_concat(MemoId || ':' || FileId || ':' || MemoText || ':' || MemoTheme, ' ') FROM memos), '') || '\n' ||"
            " ifnull((SELECT group_concat(MemoId || '-' || CatId, ' ') FROM memo_categories), '')");
        for (const auto& f : fs::directory_iterator(server)) out += L"\n" + f.path().filename().wstring();
        return out;
    }

    // The record a window of type W works on: the local file for the main window, the server
    // item for the server window.
    template <class W>
    automation::Object recordFor() {
        if constexpr (std::is_same_v<W, frmQuillbox>)
            return faulty.create(L"Itemkeeper.Engine").callObject(L"LoadFileObject", {local.path(), false});
        else if constexpr (std::is_same_v<W, windows::frmRelationOutlook>)
            return faulty.create(L"Itemkeeper.Engine").callObject(L"LoadFileOutlookObject", {L"00AB", L"Mail", L"OutlookMail", false});
        else if constexpr (std::is_same_v<W, windows::frmRelationWeb>)
            return faulty.create(L"Itemkeeper.Engine").callObject(L"LoadFileWeb", {L"www.example.com", L"", false});
        else
            return faulty.create(L"Itemkeeper.Engine").callObject(L"LoadFileWeb", {L"/Price list.xls", L"", false});
    }

    template <class W>
    Outcome runOnce(const HandlerOf<W>& h, long failAt, bool andLater = false) {
        reseed();
        // The suite's own objects are counted too: a reference taken through an interface the
        // proxies pass on (a connection point, a control's IOleObject) keeps its object alive.
        const long objectsBefore = automation::DispatchObject::liveObjects();
        fakes.prompter.boxes.clear();
        fakes.logFile.clear();
        Outcome out;
        {
            W window;
            window.oFileSelected = recordFor<W>();
            if (std::wstring(h.name) != L"Form_Load") window.load();
            if (h.prepare) h.prepare(window);
            out.storedBefore = stored();
            injection->reset(failAt, andLater);
            h.run(window);
            out.storedAfter = stored();
            out.calls = injection->calls;
            out.failed = injection->failed;
            injection->reset();
            if (window.isLoaded()) {
                out.broken = screenDisagreement(window, *db, window.oFileSelected.get(L"FileId").toLong(), Agreement::NoMoreThan);
                try {
                    window.keywords.LoadKWRelationed();  // the window still works
                } catch (...) {
                    out.broken.push_back("the window no longer works");
                }
            }
            out.boxes = fakes.prompter.boxes;
            out.log = fakes.logFile.read();
            window.unload();
        }
        windows::existFileServerSlot().clear();
        out.live = injection->live + (automation::DispatchObject::liveObjects() - objectsBefore);
        return out;
    }
};

size_t blocks(const std::string& log) {
    size_t n = 0;
    for (size_t at = log.find("-- ERROR --"); at != std::string::npos; at = log.find("-- ERROR --", at + 1)) ++n;
    return n;
}

// The chained source of the (one) log block, trimmed.
std::string sourceOf(const std::string& log) {
    size_t at = log.find("SOURCE :");
    if (at == std::string::npos) return {};
    std::string line = log.substr(at + 8, log.find('\n', at) - at - 8);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    return line;
}

TEST_F(ReliabilityTest, EverySuiteCallOfEveryHandlerFailsCleanly) {
    const std::vector<Handler> handlers = {
        {L"Form_Load", nullptr, [](frmQuillbox& w) { w.load(); }},
        {L"cmdView_Click", nullptr, [](frmQuillbox& w) { w.cmdView_Click(); }},
        {L"CheckState1_ChangeView", nullptr, [](frmQuillbox& w) { w.CheckState1_ChangeView(2); }},
        {L"cmdUpdateData_Click", [](frmQuillbox& w) { w.info.txtNameUpdate.setText(L"Renamed"); w.info.txtComment.setText(L"Noted"); },
         [](frmQuillbox& w) { w.info.cmdUpdateData_Click(); }},
        {L"pvtreeKeys_LButtonDblClick", [](frmQuillbox& w) { w.keywords.pvtreeKeys.select(w.keywords.SearchNode(L"102")); },
         [](frmQuillbox& w) { w.keywords.pvtreeKeys_LButtonDblClick(w.keywords.SearchNode(L"102")); }},
        {L"lstKeyRel_DblClick", [](frmQuillbox& w) { w.keywords.lstKeyRel.select(0); },
         [](frmQuillbox& w) { w.keywords.lstKeyRel_DblClick(); }},
        {L"cmdUpdate_Click", nullptr, [](frmQuillbox& w) { w.keywords.cmdUpdate_Click(); }},
        {L"mnu_AddKeyWord_Click", nullptr, [](frmQuillbox& w) { w.keywords.mnu_AddKeyWord_Click(); }, true},
        {L"txtFilter_Change", nullptr, [](frmQuillbox& w) { w.keywords.txtFilter.setText(L"a"); }},
        {L"cmdAddAttach_Click", nullptr, [](frmQuillbox& w) { w.files.cmdAddAttach_Click(); }},
        {L"cmdDelAttach_Click", [](frmQuillbox& w) { w.files.lstFileRel.setChecked(0, true); },
         [](frmQuillbox& w) { w.files.cmdDelAttach_Click(); }},
        {L"lstFileRel_OLEDragDrop", nullptr, [this](frmQuillbox& w) { w.files.lstFileRel_OLEDragDrop({chosen.path(), other.path()}); }},
        {L"cmdUpload_Click", nullptr, [](frmQuillbox& w) { w.cmdUpload_Click(); }},
        {L"cmdMakeRelationMemo_Click", nullptr, [](frmQuillbox& w) { w.themes.cmdMakeRelationMemo_Click(); }},
        {L"cmdUnRelMemo_Click", [](frmQuillbox& w) { w.themes.grdMemo.selectRow(1); },
         [](frmQuillbox& w) { w.themes.cmdUnRelMemo_Click(); }},
    };
    size_t points = 0;
    const size_t misses = sweep(handlers, L"frmQuillbox", points);
    std::printf("fault injection: %zu handlers x call points = %zu runs, %zu misses\n", handlers.size(), points, misses);
    EXPECT_EQ(misses, 0u);
}

// The server item window's handlers that the main window does not have, and shared ones that must
// report under this window's names.
TEST_F(ReliabilityTest, EverySuiteCallOfTheServerWindowsHandlersFailsCleanly) {
    using windows::frmRelationServer;
    dialogs.saved = {(server / L"chosen").wstring(), L"chosen"};
    const std::vector<HandlerOf<frmRelationServer>> handlers = {
        {L"Form_Load", nullptr, [](frmRelationServer& w) { w.load(); }},
        {L"cmdView_Click", nullptr, [](frmRelationServer& w) { w.cmdView_Click(); }},
        {L"CheckState1_ChangeView", nullptr, [](frmRelationServer& w) { w.CheckState1_ChangeView(2); }},
        {L"lstKeyRel_DblClick", [](frmRelationServer& w) { w.keywords.lstKeyRel.select(0); },
         [](frmRelationServer& w) { w.keywords.lstKeyRel_DblClick(); }},
        {L"cmdOk_Click", [](frmRelationServer& w) { w.relate.chkLocalCopyDP.choose(); }, [](frmRelationServer& w) { w.cmdOk_Click(); }},
        {L"cmdOk_Click", [](frmRelationServer& w) { w.relate.chkLocalCopyOP.choose(); }, [](frmRelationServer& w) { w.cmdOk_Click(); }},
        {L"mnu_NewKeyword_Click", nullptr, [](frmRelationServer& w) { w.mnu_NewKeyword_Click(); }, true},
        {L"cmdDelAttach_Click", [](frmRelationServer& w) { w.files.lstFileRel.setChecked(0, true); },
         [](frmRelationServer& w) { w.files.cmdDelAttach_Click(); }},
    };
    size_t points = 0;
    const size_t misses = sweep(handlers, L"frmRelationServer", points);
    std::printf("fault injection, server window: %zu handlers x call points = %zu runs, %zu misses\n", handlers.size(),
                points, misses);
    EXPECT_EQ(misses, 0u);
}

// The mail item window's own handlers: "Update Info" without the identifier, Ok saving the item
// (the save's steps past the logon are logged, not reported), the upload button, and a shared
// handler that must report under this window's name.
TEST_F(ReliabilityTest, EverySuiteCallOfTheMailWindowsHandlersFailsCleanly) {
    using windows::frmRelationOutlook;
    dialogs.saved = {(server / L"chosen").wstring(), L"chosen"};
    const std::vector<HandlerOf<frmRelationOutlook>> handlers = {
        {L"Form_Load", nullptr, [](frmRelationOutlook& w) { w.load(); }},
        {L"cmdUpdateData_Click", [](frmRelationOutlook& w) { w.info.txtNameUpdate.setText(L"Renamed"); },
         [](frmRelationOutlook& w) { w.info.cmdUpdateData_Click(); }},
        {L"cmdOk_Click", [](frmRelationOutlook& w) { w.relate.chkLocalCopyDP.choose(); },
         [](frmRelationOutlook& w) { w.cmdOk_Click(); }},
        {L"cmdOk_Click", [](frmRelationOutlook& w) { w.relate.chkLocalCopyOP.choose(); },
         [](frmRelationOutlook& w) { w.cmdOk_Click(); }},
        {L"CheckState1_ChangeView", nullptr, [](frmRelationOutlook& w) { w.CheckState1_ChangeView(2); }},
    };
    size_t points = 0;
    const size_t misses = sweep(handlers, L"frmRelationOutlook", points);
    std::printf("fault injection, mail window: %zu handlers x call points = %zu runs, %zu misses\n", handlers.size(),
                points, misses);
    EXPECT_EQ(misses, 0u);
}

// The web page window's handlers: its loads at the first activation, its memo and categories, Ok.
TEST_F(ReliabilityTest, EverySuiteCallOfTheWebWindowsHandlersFailsCleanly) {
    using windows::frmRelationWeb;
    extraSeed = "UPDATE views SET ParentCategoryId = 1000 + ViewId;"
                "UPDATE categories SET ParentCategoryId = 1000 + ViewId WHERE ParentCategoryId = 0;"
                "INSERT INTO memos(MemoId, FileId, MemoText, MemoTheme, ViewId) VALUES (9, 2, 'Read', '2', 1);"
                "INSERT INTO memo_categories(MemoId, CatId) VALUES (9, 110);";
    fakes.modal.script = [](ui::Form& form) {  // the new category dialog: a name and Ok
        if (auto* d = dynamic_cast<tesra::NewCategoryDialog*>(&form)) {
            d->txtName.setText(L"Press");
            ::SendMessageW(d->cmdOk.handle(), BM_CLICK, 0, 0);
        } else {
            form.hide();
        }
    };
    auto activated = [](frmRelationWeb& w) { w.Form_Activate(); };
    // The memo's text and category changed; a new memo typed and filed (the page's memo gone).
    auto changed = [](frmRelationWeb& w) {
        w.Form_Activate();
        w.RelationTab.select(frmRelationWeb::kThemesTab);
        w.memo.txtMemo.setText(L"Read again");
        w.memo.cmbFolders.select(w.memo.cmbFolders.find(L"C100"));
        w.memo.cmbFolders_Click();
    };
    auto typed = [this, changed](frmRelationWeb& w) {
        db->exec("DELETE FROM memos WHERE FileId = 2");
        changed(w);
        w.memo.chkMemo_Click(-1);
    };
    fakes.prompter.answer = IDYES;  // the memo's deletion is confirmed
    const std::vector<HandlerOf<frmRelationWeb>> handlers = {
        {L"Form_Activate", nullptr, [](frmRelationWeb& w) { w.Form_Activate(); }},
        {L"RelationTab_TabClick", [this](frmRelationWeb& w) {
             db->exec("DELETE FROM memo_categories");  // the memo's category does not load the list first
             w.Form_Activate();
         }, [](frmRelationWeb& w) { w.RelationTab.select(frmRelationWeb::kThemesTab); }},
        {L"cmdOk_Click", changed, [](frmRelationWeb& w) { w.cmdOk_Click(); }},
        {L"cmdOk_Click", typed, [](frmRelationWeb& w) { w.cmdOk_Click(); }},
        {L"cmdOk_Click", [](frmRelationWeb& w) {
             w.Form_Activate();
             w.relate.chkLocalCopyDP.choose();
         }, [](frmRelationWeb& w) { w.cmdOk_Click(); }},
        {L"cmdOk_Click", [](frmRelationWeb& w) {
             w.Form_Activate();
             w.memo.chkMemo_Click(0);
         }, [](frmRelationWeb& w) { w.cmdOk_Click(); }},
        {L"cmdAddCategory_Click", activated, [](frmRelationWeb& w) { w.memo.cmdAddCategory_Click(); }},
        {L"CheckState1_ChangeView", activated, [](frmRelationWeb& w) { w.CheckState1_ChangeView(1); }},
        {L"cmdView_Click", activated, [](frmRelationWeb& w) { w.cmdView_Click(); }},
    };
    size_t points = 0;
    const size_t misses = sweep(handlers, L"frmRelationWeb", points);
    std::printf("fault injection, web window: %zu handlers x call points = %zu runs, %zu misses\n", handlers.size(),
                points, misses);
    EXPECT_EQ(misses, 0u);
}

// The dialogs' handlers, the same way: a dialog made and loaded, a handler run with each of its
// suite calls failing in turn.
struct DialogHandler {
    const wchar_t* name;  // "frmEditName.cmdOk_Click()"
    std::function<std::unique_ptr<ui::Form>()> make;
    std::function<void(ui::Form&)> run;
    bool loadFirst = true;  // loaded before the calls are counted
};

std::unique_ptr<ui::Form> memoDialog(const automation::Object& item) {
    auto d = std::make_unique<windows::frmMemoRelation>();
    d->oSelectedFile = item;
    d->SelectViewID = automation::Variant(short{1});
    return d;
}

TEST_F(ReliabilityTest, EverySuiteCallOfTheDialogsHandlersFailsCleanly) {
    auto item = [this] { return faulty.create(L"Itemkeeper.Engine").callObject(L"LoadFileObject", {local.path(), false}); };
    auto editor = [item]<class D>(D*) {
        return [item]() -> std::unique_ptr<ui::Form> {
            auto d = std::make_unique<D>();
            d->oFileSelected = item();
            return d;
        };
    };
    auto okAfterChange = [](ui::Form& f) {
        auto& d = dynamic_cast<windows::EditFieldDialog&>(f);
        d.textBox().setText(L"Changed");
        d.cmdOk_Click();
    };
    auto load = [](ui::Form& f) { f.load(); };
    const std::vector<DialogHandler> handlers = {
        {L"frmEditName.Form_Load()", editor(static_cast<windows::frmEditName*>(nullptr)), load, false},
        {L"frmEditName.cmdOk_Click()", editor(static_cast<windows::frmEditName*>(nullptr)), okAfterChange},
        {L"frmEditComment.cmdOk_Click()", editor(static_cast<windows::frmEditComment*>(nullptr)), okAfterChange},
        {L"frmEditPath.Form_Load()", editor(static_cast<windows::frmEditPath*>(nullptr)), load, false},
        {L"frmEditPath.cmdOk_Click()", editor(static_cast<windows::frmEditPath*>(nullptr)), okAfterChange},
        {L"frmKeyWords.Form_Load()",
         [item]() -> std::unique_ptr<ui::Form> {
             auto d = std::make_unique<windows::frmKeyWords>();
             d->oFileSelected = item();
             d->intSelectedViewId = 1;
             return d;
         },
         load, false},
        {L"frmMemoRelation.Form_Load()", [item] { return memoDialog(item()); }, load, false},
        {L"frmMemoRelation.cmdOk_Click()", [item] { return memoDialog(item()); },
         [](ui::Form& f) {
             auto& d = dynamic_cast<windows::frmMemoRelation&>(f);
             chooseFirstCategory(d);
             d.txtMemoFile.setText(L"Call back");
             d.cmdOk_Click();
         }},
        {L"frmExistFileServer.cmdOk_Click()",
         [this]() -> std::unique_ptr<ui::Form> {
             auto d = std::make_unique<frmExistFileServer>();
             d->strFileName = L"clash.txt";
             d->strFileServerType = L".txt";
             std::ofstream(server / L"taken.txt") << "x";
             return d;
         },
         [](ui::Form& f) {
             auto& d = dynamic_cast<frmExistFileServer&>(f);
             d.optRename.choose();
             d.txtRename.setText(L"taken");
             d.cmdOk_Click();
         }},
    };
    size_t points = 0, misses = 0;
    for (const DialogHandler& h : handlers) {
        long total = 0;  // the handler's calls, as the counting run (k = 0) made them
        for (long k = 0; k <= total; ++k) {
            reseed();
            fakes.prompter.boxes.clear();
            fakes.logFile.clear();
            const long objectsBefore = automation::DispatchObject::liveObjects();
            long calls = 0;
            {
                std::unique_ptr<ui::Form> dialog = h.make();
                if (h.loadFirst) dialog->load();
                injection->reset(k);
                h.run(*dialog);
                calls = injection->calls;
                injection->reset();
                dialog->unload();
            }
            const std::string log = fakes.logFile.read();
            const std::string where = narrow(h.name) + " with call " + std::to_string(k) + " failing";
            if (k == 0) {
                // The counting run: the rename is refused by a message of its own, nothing else.
                EXPECT_EQ(blocks(log), 0u) << where << log;
            } else {
                ++points;
                const std::string source = sourceOf(log), tail = narrow(h.name);
                bool ok = fakes.prompter.boxes.size() == 1 && blocks(log) == 1 && source.size() >= tail.size() &&
                          source.compare(source.size() - tail.size(), tail.size(), tail) == 0;
                if (!ok) {
                    ++misses;
                    ADD_FAILURE() << where << ": " << fakes.prompter.boxes.size() << " reports, source \"" << source << "\"\n" << log;
                }
            }
            EXPECT_EQ(injection->live, 0) << where << ": references left";
            EXPECT_EQ(automation::DispatchObject::liveObjects(), objectsBefore) << where << ": suite objects left alive";
            if (k == 0) total = calls;
        }
    }
    std::printf("fault injection, dialogs: %zu handlers x call points = %zu runs, %zu misses\n", handlers.size(), points, misses);
    EXPECT_GT(points, handlers.size());
    EXPECT_EQ(misses, 0u);
}

// Each of the nine operations, called as a host calls them, lets go of every suite object it
// took by the time it returns, whether it opened a window, found nothing, or raised an error.
TEST_F(ReliabilityTest, NoOperationKeepsAReferenceToTheSuite) {
    reseed();
    db->exec("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES"
             " (14, 'Mail', '00AB', 'OutlookMail'), (15, 'Plan', '/srv/a.doc', 'Server'), (16, 'Page', 'http://h/a', 'Web');");
    using automation::Object;
    const std::wstring path = local.path();
    const std::vector<std::pair<const wchar_t*, std::function<void(Object&)>>> calls = {
        {L"ShowEditName", [&](Object& e) { e.call(L"ShowEditName", {path}); }},
        {L"ShowEditComment", [&](Object& e) { e.call(L"ShowEditComment", {path}); }},
        {L"ShowEditPath", [&](Object& e) { e.call(L"ShowEditPath", {path}); }},
        {L"ShowEditName (unknown)", [&](Object& e) { e.call(L"ShowEditName", {L"C:\\unknown.txt"}); }},
        {L"ShowRelation", [&](Object& e) { e.call(L"ShowRelation", {path}); }},
        {L"ShowAllItemsRelation (mail)", [&](Object& e) { e.call(L"ShowAllItemsRelation", {L"00AB"}); }},
        {L"ShowAllItemsRelation", [&](Object& e) { e.call(L"ShowAllItemsRelation", {path}); }},
        {L"ShowRelationOutlook", [&](Object& e) { e.call(L"ShowRelationOutlook", {L"00AB", L"Mail", L"OutlookMail"}); }},
        {L"ShowRelationWeb", [&](Object& e) { e.call(L"ShowRelationWeb", {L"http://h/a"}); }},
        {L"ShowRelationWebEdition", [&](Object& e) { e.call(L"ShowRelationWebEdition", {L"/srv/a.doc"}); }},
        {L"UploadXXX", [&](Object& e) { e.call(L"UploadXXX"); }},
    };
    automation::Object engine(engine::createEngine());
    const long objectsBefore = automation::DispatchObject::liveObjects();
    size_t checked = 0;
    for (const auto& [name, call] : calls) {
        try {
            call(engine);
        } catch (const automation::ComError& e) {
            ADD_FAILURE() << narrow(name) << " raised " << e.number() << ": " << narrow(e.description());
        }
        EXPECT_EQ(injection->live, 0) << narrow(name) << " left references to the suite";
        EXPECT_EQ(automation::DispatchObject::liveObjects(), objectsBefore) << narrow(name) << " left suite objects alive";
        ++checked;
    }
    std::printf("references: %zu operation calls, none left a reference\n", checked);
}

}  // namespace
}  // namespace qb::testing
