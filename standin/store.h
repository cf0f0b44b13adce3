#pragma once
// The stand-in suite's database: one SQLite file, created with its schema on first use.
//
// Location, first found wins: the environment variable TESRA_SUITE_DB; the registry value
// HKCU\Software\Tesra\Suite "Database"; %LOCALAPPDATA%\Tesra\suite.db.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tesra {

std::wstring databasePath();

class Statement;

class Database {
public:
    // Opens (and creates) the database at `path`; raises ComError on failure.
    static std::shared_ptr<Database> open(const std::wstring& path = databasePath());
    // The connection this thread shares for `path`, opened once (objects come and go by the
    // thousand; each opening its own connection would cost milliseconds).
    static std::shared_ptr<Database> shared(const std::wstring& path = databasePath());
    ~Database();
    void exec(const std::string& sqlUtf8);
    Statement prepare(const char* sql);
    int64_t lastInsertId() const;
    int changes() const;
    // Runs `body` inside one transaction (rolled back when it throws).
    template <class F>
    void transaction(F&& body) {
        exec("BEGIN IMMEDIATE");
        try {
            body();
        } catch (...) {
            exec("ROLLBACK");
            throw;
        }
        exec("COMMIT");
    }
    // A value of the settings table, or `fallback`.
    std::wstring setting(const std::wstring& name, const std::wstring& fallback);
    void setSetting(const std::wstring& name, const std::wstring& value);

    [[noreturn]] void fail() const;

private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

class Statement {
public:
    Statement(const Database& db, sqlite3_stmt* s) : db_(db), s_(s) {}
    Statement(Statement&& o) noexcept : db_(o.db_), s_(o.s_) { o.s_ = nullptr; }
    ~Statement();
    Statement& bind(int i, const std::wstring& text);
    Statement& bind(int i, int64_t n);
    Statement& bindNull(int i);
    // Numbers as integers, text as text, an omitted or empty value as NULL.
    Statement& bind(int i, const qb::automation::Variant& v);
    Statement& bindAll(const std::vector<qb::automation::Variant>& values);
    // True while there is a row. After the last row (or an insert) the statement can be bound
    // and stepped again.
    bool step();
    enum class Type { Null, Integer, Real, Text };
    // The column's storage class in this row (blobs count as text).
    Type type(int col) const;
    std::wstring text(int col) const;
    // The text of a column, valid until the next step.
    std::wstring_view textView(int col) const;
    double real(int col) const;
    int64_t integer(int col) const;
    bool isNull(int col) const;
    int columns() const;

private:
    const Database& db_;
    sqlite3_stmt* s_;
};

}  // namespace tesra
