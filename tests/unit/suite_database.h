#pragma once
// A stand-in suite database of the test's own, in force (TESRA_SUITE_DB) for as long as it lives;
// its files go with it.
#include <windows.h>

#include <memory>
#include <string>

#include "fakes.h"
#include "store.h"

namespace qb::testing {

class ScopedSuiteDatabase {
public:
    explicit ScopedSuiteDatabase(const wchar_t* stem) : file_(stem) {
        ::SetEnvironmentVariableW(L"TESRA_SUITE_DB", file_.path().c_str());
        db = tesra::Database::open(file_.path());
    }
    ~ScopedSuiteDatabase() {
        db.reset();
        ::SetEnvironmentVariableW(L"TESRA_SUITE_DB", nullptr);
        for (const wchar_t* tail : {L"-wal", L"-shm"}) ::DeleteFileW((file_.path() + tail).c_str());
    }
    ScopedSuiteDatabase(const ScopedSuiteDatabase&) = delete;
    ScopedSuiteDatabase& operator=(const ScopedSuiteDatabase&) = delete;

    const std::wstring& path() const { return file_.path(); }
    // The first column of the first row, or "<none>".
    std::wstring query(const char* sql) {
        auto s = db->prepare(sql);
        return s.step() ? s.text(0) : L"<none>";
    }

    std::shared_ptr<tesra::Database> db;

private:
    TempFile file_;
};

}  // namespace qb::testing
