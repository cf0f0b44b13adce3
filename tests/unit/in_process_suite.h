#pragma once
// The stand-in suite's classes answering every suite ProgID in the test's own process, over a
// database the test seeds: the windows run against a real suite, through the creation seam.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "category_tree.h"
#include "choosers.h"
#include "downloader_line.h"
#include "engine/engine.h"
#include "engines.h"
#include "mail/mail.h"
#include "fakes.h"
#include "record.h"
#include "statewatch.h"
#include "suite_database.h"
#include "support/settings.h"
#include "windows/pages/keywords_page.h"

namespace qb::testing {

// Views 1 "Projects" and 2 "Personal"; groups, keywords (one in group 0, one in a group that is
// gone); item 1 "C:\docs\report.txt" related to 101 (view 1) and 201 (view 2).
inline constexpr char kSuiteSeed[] = R"sql(
INSERT INTO views(ViewId, ViewName) VALUES (1, 'Projects'), (2, 'Personal');
INSERT INTO groups(GroupId, GroupName, ViewId) VALUES (10, 'Clients', 1), (11, 'Status', 1), (12, 'Empty', 1), (20, 'Family', 2);
INSERT INTO keywords(KeyId, KeyName, GroupId, ViewId) VALUES
  (101, 'Acme', 10, 1), (102, 'Globex', 10, 1), (111, 'Draft', 11, 1), (131, 'Urgent', 0, 1), (132, 'Orphan', 99, 1),
  (201, 'Holidays', 20, 2), (202, 'School', 20, 2);
INSERT INTO items(FileId, FileName, FileComment, FileCurrentPath, FileType) VALUES (1, 'Report', 'First', 'C:\docs\report.txt', 'File');
INSERT INTO keyword_items(KeyId, FileId) VALUES (101, 1), (201, 1);
)sql";

// Plays the suite's downloader for StartedPrograms::run: "ADDRESS | TARGET [| KEYWORD-ID ...]"
// gives a target holding "copy of ADDRESS" and a local file record of it related to the keywords,
// as Pagefetch.exe makes them (straight in the stand-in suite, not through the component's seam).
inline DWORD playDownloader(const std::wstring& parameters) {
    tesra::DownloaderLine line;
    try {
        line = tesra::parseDownloaderLine(parameters);
    } catch (const automation::ComError&) {
        return 1;
    }
    const std::string body = "copy of " + narrow(line.address);
    HANDLE f = ::CreateFileW(line.target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
    ::CloseHandle(f);
    automation::Object copy =
        automation::Object(automation::makeObject<tesra::ItemLoader>()).callObject(L"LoadFileObject", {line.target, true});
    for (long keyword : line.keywords) {
        automation::Object relation(tesra::createRecord(tesra::keyWordFileKind()));
        relation.call(L"loaddata", {keyword, copy.get(L"FileId")});
        relation.call(L"Insert");
    }
    return 0;
}

// With the mail client's objects, this component's Engine by its ProgID, and a process check
// whose answer the test sets (the mail client runs unless told otherwise).
struct InProcessSuite : automation::ObjectFactory {
    bool outlookRunning = true;
    std::vector<std::wstring> processesAsked;

    automation::Object create(std::wstring_view progId) override {
        if (progId == L"Procwatch.clsEngine") {
            auto check = makeFake(L"Procwatch", std::make_shared<CallLog>());
            check->on(L"IsRunning", [this](const automation::CallArgs& a) {
                processesAsked.push_back(a.text(0));
                return automation::Variant(outlookRunning && a.text(0) == L"OUTLOOK.EXE");
            });
            return check->object();
        }
        using namespace tesra;
        static const std::pair<const wchar_t*, automation::ComPtr<IDispatch> (*)()> classes[] = {
            {L"Tesra.File", [] { return createRecord(fileKind()); }},
            {L"Tesra.KeyWord", [] { return createRecord(keyWordKind()); }},
            {L"Tesra.Group", [] { return createRecord(groupKind()); }},
            {L"Tesra.View", [] { return createRecord(viewKind()); }},
            {L"Tesra.KeyWordFile", [] { return createRecord(keyWordFileKind()); }},
            {L"Tesra.Attach", [] { return createRecord(attachKind()); }},
            {L"Tesra.Memo", [] { return createRecord(memoKind()); }},
            {L"Tesra.CatMemo", [] { return createRecord(catMemoKind()); }},
            {L"Tesra.Theme", [] { return createRecord(themeKind()); }},
            {L"Tesra.Category", [] { return createRecord(categoryKind()); }},
            {L"Itemkeeper.Engine", [] { return automation::makeObject<ItemLoader>(); }},
            {L"Gatehouse.Engine", [] { return automation::makeObject<Gatehouse>(); }},
            {L"Settler.Engine", [] { return automation::makeObject<Settler>(); }},
            {L"Lenspick.Engine", [] { return automation::makeObject<ViewPicker>(); }},
            {L"Tagpick.Engine", [] { return automation::makeObject<KeywordPicker>(); }},
            {L"Foldermint.Engine", [] { return automation::makeObject<CategoryMaker>(); }},
            {L"Tagadvisor.Engine", [] { return automation::makeObject<KeywordAdvisor>(); }},
            {L"Statewatch.CheckState", [] { return automation::makeObject<CheckState>(); }},
            {L"Tesra.CategoryTree", [] { return automation::makeObject<CategoryTree>(); }},
            {L"Outlook.Application", [] { return automation::makeObject<mail::Application>(); }},
            {L"Redemption.SafeMailItem", [] { return automation::makeObject<mail::SafeMailItem>(); }},
            {L"Quillbox.Engine", [] { return engine::createEngine(); }},
        };
        for (const auto& [id, make] : classes)
            if (progId == id) return automation::Object(make());
        if (progId == L"Scripting.FileSystemObject") return automation::ComObjectFactory().create(progId);  // Windows' own
        throw automation::ComError::runtime(automation::err::CantCreateObject);
    }
};

// A seeded suite in force for one test, with the fakes' prompter, modal runner and log, and the
// view setting at 1 (restored afterwards).
struct SeededSuite : ::testing::Test {
    FakeSuite fakes;
    InProcessSuite suiteObjects;
    support::ScopedServices real{
        support::Services{.objects = &suiteObjects, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = nullptr}};
    ScopedSuiteDatabase store{L"qbrelsuite"};
    std::shared_ptr<tesra::Database> db = store.db;
    std::wstring savedView;

    void SetUp() override {
        db->exec(kSuiteSeed);
        savedView = support::GetSetting(L"Vellumdex", L"Selected View Shell", L"ID", L"0");
        support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", L"1");
    }
    void TearDown() override {
        support::SaveSetting(L"Vellumdex", L"Selected View Shell", L"ID", savedView);
    }
    static automation::Object loadItem(const std::wstring& path) {
        automation::Object loader(automation::makeObject<tesra::ItemLoader>());
        return loader.callObject(L"LoadFileObject", {path, false});
    }
    // The keyword ids related to item 1, in order.
    std::wstring stored() {
        auto s = db->prepare("SELECT group_concat(KeyId, ' ') FROM (SELECT KeyId FROM keyword_items WHERE FileId = 1 ORDER BY KeyId)");
        return s.step() ? s.text(0) : L"";
    }
    static std::vector<std::wstring> listedIn(windows::KeywordsPage& page) {
        std::vector<std::wstring> out;
        for (int i = 0; i < page.lstKeyRel.count(); ++i) out.push_back(page.lstKeyRel.text(i));
        return out;
    }
    // "Parent/Text" of a node found by key ("" parent: the root); its group opened as a user
    // opens it to look.
    static std::wstring placedIn(windows::KeywordsPage& page, const std::wstring& key) {
        auto& tree = page.pvtreeKeys;
        HTREEITEM node = page.SearchNode(key);
        if (!node) return L"<none>";
        HTREEITEM parent = tree.parent(node);
        return (parent ? tree.text(parent) : L"") + L"/" + tree.text(node);
    }
    static int indexIn(windows::KeywordsPage& page, const std::wstring& text) {
        for (int i = 0; i < page.lstKeyRel.count(); ++i)
            if (page.lstKeyRel.text(i) == text) return i;
        return -1;
    }
};

// The calls the suite sees, from the action on: what changes it, in order and with arguments.
struct RecordedCalls {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    RecordingFactory factory;
    support::ScopedServices seam;
    explicit RecordedCalls(automation::ObjectFactory& suite)
        : factory(suite, log),
          seam(support::Services{.objects = &factory, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = nullptr}) {}
    size_t count(std::wstring_view call) const {
        return static_cast<size_t>(std::count_if(log->begin(), log->end(), [&](const std::wstring& c) { return c == call; }));
    }
};

}  // namespace qb::testing
