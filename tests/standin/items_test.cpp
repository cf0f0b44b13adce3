// The suite's items: found again by their full path however it is written, created only for
// files, and edits the suite refuses (no name, an unusable path, another item's path, a record
// deleted meanwhile).
#include <gtest/gtest.h>

#include <windows.h>

#include "automation/com_error.h"
#include "automation/object.h"
#include "engines.h"
#include "fakes.h"
#include "record.h"
#include "suite_database.h"

namespace qb::testing {
namespace {

using automation::ComError;
using automation::Object;

// A folder with "Board minutes.txt" and "Ärger.txt" in it, and a sub-folder.
struct Folder {
    std::wstring path;
    Folder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"qbitems" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(path.c_str(), nullptr);
        ::CreateDirectoryW((path + L"\\Sub").c_str(), nullptr);
        for (const wchar_t* name : {L"Board minutes.txt", L"\u00C4rger.txt"}) write(name);
    }
    ~Folder() {
        for (const wchar_t* name : {L"Board minutes.txt", L"\u00C4rger.txt", L"New.txt"}) ::DeleteFileW((path + L"\\" + name).c_str());
        ::RemoveDirectoryW((path + L"\\Sub").c_str());
        ::RemoveDirectoryW(path.c_str());
    }
    void write(const std::wstring& name) const {
        HANDLE h = ::CreateFileW((path + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(h);
    }
};

std::wstring forwardSlashes(std::wstring p) {
    for (auto& c : p)
        if (c == L'\\') c = L'/';
    return p;
}

std::wstring upper(std::wstring p) {
    ::CharUpperBuffW(p.data(), static_cast<DWORD>(p.size()));
    return p;
}

struct ItemsTest : ::testing::Test {
    FakeSuite fakes;
    ScopedSuiteDatabase store{L"qbitems"};
    std::shared_ptr<tesra::Database> db = store.db;
    Folder folder;
    std::wstring minutes = folder.path + L"\\Board minutes.txt";

    void SetUp() override {
        auto s = db->prepare(
            "INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (1, 'Board minutes.txt', ?, 'File'), "
            "(2, 'Other', 'C:\\other\\file.txt', 'File'), (3, 'Site', 'http://example.org/a?b=1', 'Web'), "
            "(4, 'Umlaut', ?, 'File')");
        s.bind(1, minutes).bind(2, folder.path + L"\\\u00C4rger.txt").step();
    }
    std::wstring query(const char* sql) { return store.query(sql); }
    static Object load(const std::wstring& path, bool create = true) {
        Object loader(automation::makeObject<tesra::ItemLoader>());
        return loader.callObject(L"LoadFileObject", {path, create});
    }
    static long idOf(const Object& item) { return item.isNothing() ? 0 : item.get(L"FileId").toLong(); }
    static Object item(long id) {
        Object lookup(tesra::createRecord(tesra::fileKind()));
        lookup.call(L"loaddata", {id});
        return lookup.callObject(L"GetOneById");
    }
    // The update's refusal text, or "" when the suite took it.
    static std::wstring refusal(long id, const wchar_t* member, const std::wstring& value) {
        try {
            item(id).call(member, {value});
            return L"";
        } catch (const ComError& e) {
            return e.description();
        }
    }
};

TEST_F(ItemsTest, KnownFileIsFoundHoweverItsPathIsWritten) {
    const std::wstring dotted = folder.path + L"\\.\\Board minutes.txt";
    const std::wstring climbed = folder.path + L"\\Sub\\..\\Board minutes.txt";
    for (const std::wstring& written : {forwardSlashes(minutes), dotted, climbed, upper(minutes)})
        EXPECT_EQ(idOf(load(written)), 1) << written;
    // Letter case as Windows folds it, not only A to Z.
    EXPECT_EQ(idOf(load(folder.path + L"\\\u00E4rger.txt")), 4);
    EXPECT_EQ(query("SELECT count(*) FROM items"), L"4");
    // The lookup by path the windows use finds it the same way.
    Object lookup(tesra::createRecord(tesra::fileKind()));
    lookup.call(L"loaddata", {automation::Arg::missing(), automation::Arg::missing(), automation::Arg::missing(), dotted});
    EXPECT_EQ(idOf(lookup.callObject(L"GetOne")), 1);
    EXPECT_TRUE(lookup.call(L"ExistFile").toBool());
}

TEST_F(ItemsTest, RecordsAreCreatedOnlyForFilesUnderTheirFullPath) {
    EXPECT_TRUE(load(folder.path).isNothing());
    EXPECT_TRUE(load(folder.path + L"\\").isNothing());
    EXPECT_TRUE(load(folder.path + L"\\Sub").isNothing());
    EXPECT_TRUE(load(folder.path + L"\\Missing.txt").isNothing());
    EXPECT_EQ(query("SELECT count(*) FROM items"), L"4");

    folder.write(L"New.txt");
    Object made = load(forwardSlashes(folder.path) + L"/Sub/../New.txt");
    ASSERT_FALSE(made.isNothing());
    EXPECT_EQ(made.get(L"FileCurrentPath").toText(), folder.path + L"\\New.txt");
    EXPECT_EQ(made.get(L"FileName").toText(), L"New.txt");
    // Asked again in another spelling: the same record.
    EXPECT_EQ(idOf(load(upper(folder.path + L"\\new.txt"))), idOf(made));
    EXPECT_EQ(query("SELECT count(*) FROM items"), L"5");
    // Without leave to create, a known file is still found and an unknown one is not made.
    EXPECT_EQ(idOf(load(forwardSlashes(minutes), false)), 1);
}

TEST_F(ItemsTest, UpdatesTheSuiteRefuseLeaveTheRecordAsItWas) {
    struct Case {
        const wchar_t* member;
        std::wstring value;
        const wchar_t* says;
    } cases[] = {
        {L"UpDateName", L"", L"needs a name"},
        {L"UpDateName", L"   ", L"needs a name"},
        {L"UpDatePath", L"", L"The path is missing."},
        {L"UpDatePath", L"  ", L"The path is missing."},
        {L"UpDatePath", L"C:\\docs\\what?.txt", L"cannot contain"},
        {L"UpDatePath", L"C:\\docs\\a*.txt", L"cannot contain"},
        {L"UpDatePath", L"C:\\docs\\<a>.txt", L"cannot contain"},
        {L"UpDatePath", L"C:\\docs\\a|b.txt", L"cannot contain"},
        {L"UpDatePath", L"C:\\docs\\a:b.txt", L"cannot contain"},
        {L"UpDatePath", L"C:\\other\\file.txt", L"\"Other\" already has the path"},
        {L"UpDatePath", L"c:/OTHER/./file.txt", L"\"Other\" already has the path"},
    };
    for (const auto& c : cases) {
        std::wstring said = refusal(1, c.member, c.value);
        EXPECT_NE(said.find(c.says), std::wstring::npos) << c.member << L"(" << c.value << L"): " << said;
    }
    EXPECT_EQ(query("SELECT FileName || '|' || FileCurrentPath FROM items WHERE FileId = 1"), L"Board minutes.txt|" + minutes);
    // A web address keeps its "?"; only an empty one is refused.
    EXPECT_EQ(refusal(3, L"UpDatePath", L"http://example.org/b?c=2"), L"");
    EXPECT_EQ(refusal(3, L"UpDatePath", L""), L"The path is missing.");
}

TEST_F(ItemsTest, AcceptedPathIsStoredInFullAndKeptByTheObject) {
    Object record = item(1);
    record.call(L"UpDatePath", {forwardSlashes(folder.path) + L"/Sub/../Renamed.txt"});
    const std::wstring stored = folder.path + L"\\Renamed.txt";
    EXPECT_EQ(query("SELECT FileCurrentPath FROM items WHERE FileId = 1"), stored);
    EXPECT_EQ(record.get(L"FileCurrentPath").toText(), stored);
    // Its own path in another spelling is no clash with itself.
    EXPECT_EQ(refusal(1, L"UpDatePath", upper(stored)), L"");
}

TEST_F(ItemsTest, EditOfARecordDeletedMeanwhileIsRefused) {
    for (const wchar_t* member : {L"UpDateName", L"UpDateComment", L"UpDatePath", L"UpDateType"}) {
        Object record = item(2);
        db->exec("DELETE FROM items WHERE FileId = 2");
        try {
            record.call(member, {std::wstring(L"C:\\docs\\x.txt")});
            ADD_FAILURE() << member << L" took an edit of a deleted record";
        } catch (const ComError& e) {
            EXPECT_NE(e.description().find(L"no such item"), std::wstring::npos) << member << L": " << e.description();
            EXPECT_EQ(e.source(), L"Tesra.File");
        }
        db->exec("INSERT INTO items(FileId, FileName, FileCurrentPath) VALUES (2, 'Other', 'C:\\other\\file.txt')");
    }
    EXPECT_EQ(query("SELECT count(*) FROM items WHERE FileId = 2"), L"1");
}

}  // namespace
}  // namespace qb::testing
