#include "automation/text.h"
#include "base/per_thread.h"
#include "store.h"

#include <windows.h>
#include <shlobj.h>
#include <sqlite3.h>

#include <vector>

#include "automation/com_error.h"
#include "paths.h"

namespace tesra {
namespace {

constexpr char kSchema[] = R"sql(
PRAGMA journal_mode=WAL;
PRAGMA synchronous=NORMAL;
PRAGMA foreign_keys=ON;
PRAGMA mmap_size=268435456;
CREATE TABLE IF NOT EXISTS settings(
  Name TEXT PRIMARY KEY,
  Value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS items(
  FileId INTEGER PRIMARY KEY,
  FileName TEXT NOT NULL DEFAULT '',
  FileComment TEXT NOT NULL DEFAULT '',
  FileCurrentPath TEXT NOT NULL,
  FileType TEXT NOT NULL DEFAULT 'File');
CREATE INDEX IF NOT EXISTS items_by_path ON items(FileCurrentPath COLLATE NOCASE);
CREATE TABLE IF NOT EXISTS views(
  ViewId INTEGER PRIMARY KEY,
  ViewName TEXT NOT NULL,
  ParentCategoryId INTEGER NOT NULL DEFAULT 0);
-- Keywords keep their GroupId when the group goes: such keywords show under the root.
CREATE TABLE IF NOT EXISTS groups(
  GroupId INTEGER PRIMARY KEY,
  GroupName TEXT NOT NULL,
  ViewId INTEGER NOT NULL REFERENCES views(ViewId) ON DELETE CASCADE);
-- The indexes follow the order the objects answer in (names without case, then id), so a
-- view's keywords come out of the index without a sort.
DROP INDEX IF EXISTS groups_by_view;
CREATE INDEX IF NOT EXISTS groups_by_view_name ON groups(ViewId, GroupName COLLATE NOCASE, GroupId);
CREATE TABLE IF NOT EXISTS keywords(
  KeyId INTEGER PRIMARY KEY,
  KeyName TEXT NOT NULL,
  GroupId INTEGER NOT NULL DEFAULT 0,
  ViewId INTEGER NOT NULL REFERENCES views(ViewId) ON DELETE CASCADE);
DROP INDEX IF EXISTS keywords_by_view;
CREATE INDEX IF NOT EXISTS keywords_by_view_name ON keywords(ViewId, KeyName COLLATE NOCASE, KeyId, GroupId);
CREATE TABLE IF NOT EXISTS keyword_items(
  KeyId INTEGER NOT NULL REFERENCES keywords(KeyId) ON DELETE CASCADE,
  FileId INTEGER NOT NULL REFERENCES items(FileId) ON DELETE CASCADE,
  PRIMARY KEY(KeyId, FileId));
CREATE INDEX IF NOT EXISTS keyword_items_by_item ON keyword_items(FileId);
CREATE TABLE IF NOT EXISTS themes(
  ThemeId INTEGER PRIMARY KEY,
  ThemeName TEXT NOT NULL);
INSERT OR IGNORE INTO themes(ThemeId, ThemeName) VALUES (1, 'Green'), (2, 'Red'), (3, 'Ochre'), (4, 'Blue');
CREATE TABLE IF NOT EXISTS memos(
  MemoId INTEGER PRIMARY KEY,
  FileId INTEGER NOT NULL REFERENCES items(FileId) ON DELETE CASCADE,
  MemoText TEXT NOT NULL DEFAULT '',
  MemoTheme TEXT NOT NULL DEFAULT '1',
  MemoFlag TEXT NOT NULL DEFAULT '',
  ViewId INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS memos_by_item ON memos(FileId, ViewId);
CREATE TABLE IF NOT EXISTS categories(
  CatId INTEGER PRIMARY KEY,
  CatName TEXT NOT NULL,
  ParentCategoryId INTEGER NOT NULL DEFAULT 0,
  ViewId INTEGER NOT NULL DEFAULT 0);
DROP INDEX IF EXISTS categories_by_parent;
CREATE INDEX IF NOT EXISTS categories_by_parent_name ON categories(ParentCategoryId, CatName COLLATE NOCASE, CatId);
CREATE TABLE IF NOT EXISTS memo_categories(
  MemoId INTEGER NOT NULL REFERENCES memos(MemoId) ON DELETE CASCADE,
  CatId INTEGER NOT NULL REFERENCES categories(CatId) ON DELETE CASCADE,
  PRIMARY KEY(MemoId, CatId));
-- An attachment is an unordered pair of items, in the order it was made; the suite does not
-- refuse a pair that is stored already, so the same pair may be stored twice.
CREATE TABLE IF NOT EXISTS attachments(
  AttachId INTEGER PRIMARY KEY,
  Attach1 INTEGER NOT NULL REFERENCES items(FileId) ON DELETE CASCADE,
  Attach2 INTEGER NOT NULL REFERENCES items(FileId) ON DELETE CASCADE);
CREATE INDEX IF NOT EXISTS attachments_by_first ON attachments(Attach1);
CREATE INDEX IF NOT EXISTS attachments_by_second ON attachments(Attach2);
-- The mail client's items, for the mail client stand-in (not part of the suite's data).
CREATE TABLE IF NOT EXISTS outlook_items(
  EntryID TEXT PRIMARY KEY,
  Subject TEXT NOT NULL DEFAULT '',
  Body TEXT NOT NULL DEFAULT '',
  MessageClass TEXT NOT NULL DEFAULT 'IPM.Note');
)sql";

std::wstring environment(const wchar_t* name) {
    DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (!n) return {};
    std::wstring v(n, L'\0');
    v.resize(::GetEnvironmentVariableW(name, v.data(), n));
    return v;
}

std::wstring registryValue() {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tesra\\Suite", L"Database", RRF_RT_REG_SZ, nullptr, buf,
                       &size) == ERROR_SUCCESS)
        return buf;
    return {};
}

}  // namespace

std::wstring databasePath() {
    if (auto v = environment(L"TESRA_SUITE_DB"); !v.empty()) return v;
    if (auto v = registryValue(); !v.empty()) return v;
    wchar_t base[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base);
    return std::wstring(base) + L"\\Tesra\\suite.db";
}

std::shared_ptr<Database> Database::open(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) ::SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr);
    sqlite3* db = nullptr;
    int rc = sqlite3_open16(path.c_str(), &db);
    auto result = std::shared_ptr<Database>(new Database(db));
    if (rc != SQLITE_OK) result->fail();
    // How long a change waits for a database another process holds before it answers busy.
    const std::wstring wait = environment(L"TESRA_BUSY_MS");
    sqlite3_busy_timeout(db, wait.empty() ? 10000 : _wtoi(wait.c_str()));
    // COLLATE PATH: paths compared as Windows compares file names.
    sqlite3_create_collation16(db, L"PATH", SQLITE_UTF16_ALIGNED, nullptr,
                               [](void*, int aBytes, const void* a, int bBytes, const void* b) {
                                   return comparePaths(static_cast<const wchar_t*>(a), aBytes / 2,
                                                       static_cast<const wchar_t*>(b), bBytes / 2);
                               });
    result->exec(kSchema);
    return result;
}

std::shared_ptr<Database> Database::shared(const std::wstring& path) {
    struct Kept {
        std::wstring path;
        std::shared_ptr<Database> db;
    };
    Kept& k = qb::perThread<Kept>();
    std::wstring& keptPath = k.path;
    std::shared_ptr<Database>& kept = k.db;
    if (!kept || keptPath != path) {
        kept = open(path);
        keptPath = path;
    }
    return kept;
}

Database::~Database() { sqlite3_close_v2(db_); }

void Database::fail() const {
    const wchar_t* msg = db_ ? static_cast<const wchar_t*>(sqlite3_errmsg16(db_)) : L"cannot open the database";
    int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_CANTOPEN;
    throw qb::automation::ComError(static_cast<long>(0x80040000L + 0x1000 + (code & 0xFF)),
                                   std::wstring(L"Suite database: ") + msg, L"Tesra.Suite");
}

void Database::exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        sqlite3_free(err);
        fail();
    }
}

Statement Database::prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) fail();
    return Statement(*this, s);
}

int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }
int Database::changes() const { return sqlite3_changes(db_); }

std::wstring Database::setting(const std::wstring& name, const std::wstring& fallback) {
    auto s = prepare("SELECT Value FROM settings WHERE Name = ?");
    s.bind(1, name);
    return s.step() ? s.text(0) : fallback;
}

void Database::setSetting(const std::wstring& name, const std::wstring& value) {
    auto s = prepare("INSERT INTO settings(Name, Value) VALUES(?, ?) ON CONFLICT(Name) DO UPDATE SET Value = excluded.Value");
    s.bind(1, name).bind(2, value).step();
}

Statement::~Statement() { sqlite3_finalize(s_); }

Statement& Statement::bind(int i, const std::wstring& text) {
    std::string u = qb::automation::toUtf8(text);
    if (sqlite3_bind_text(s_, i, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT) != SQLITE_OK) db_.fail();
    return *this;
}

Statement& Statement::bind(int i, int64_t n) {
    if (sqlite3_bind_int64(s_, i, n) != SQLITE_OK) db_.fail();
    return *this;
}

Statement& Statement::bindNull(int i) {
    if (sqlite3_bind_null(s_, i) != SQLITE_OK) db_.fail();
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(s_);
        return false;
    }
    db_.fail();
}

Statement::Type Statement::type(int col) const {
    switch (sqlite3_column_type(s_, col)) {
        case SQLITE_INTEGER: return Type::Integer;
        case SQLITE_FLOAT: return Type::Real;
        case SQLITE_NULL: return Type::Null;
        default: return Type::Text;
    }
}

std::wstring_view Statement::textView(int col) const {
    auto* p = static_cast<const wchar_t*>(sqlite3_column_text16(s_, col));
    return p ? std::wstring_view(p, sqlite3_column_bytes16(s_, col) / sizeof(wchar_t)) : std::wstring_view();
}

std::wstring Statement::text(int col) const { return std::wstring(textView(col)); }

double Statement::real(int col) const { return sqlite3_column_double(s_, col); }

Statement& Statement::bind(int i, const qb::automation::Variant& v) {
    switch (v.type()) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_ERROR: return bindNull(i);
        case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_UI1: case VT_UI2: case VT_UI4: case VT_INT:
        case VT_UINT: case VT_BOOL: return bind(i, static_cast<int64_t>(v.toLong()));
        default: return bind(i, v.toText());
    }
}

Statement& Statement::bindAll(const std::vector<qb::automation::Variant>& values) {
    for (size_t i = 0; i < values.size(); ++i) bind(static_cast<int>(i + 1), values[i]);
    return *this;
}

int64_t Statement::integer(int col) const { return sqlite3_column_int64(s_, col); }
bool Statement::isNull(int col) const { return sqlite3_column_type(s_, col) == SQLITE_NULL; }
int Statement::columns() const { return sqlite3_column_count(s_); }

}  // namespace tesra
