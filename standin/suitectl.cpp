// suitectl: seeds and inspects the stand-in suite's database.
//   suitectl path                 prints the database file in use
//   suitectl seed FILE.sql        runs an SQL fixture file (UTF-8) against the database
//   suitectl sql "STATEMENTS"     runs SQL statements
//   suitectl query "SELECT ..."   prints the rows, columns separated by tabs
//   suitectl set NAME VALUE       writes a setting (StateConnection, ServerFolder, ...)
#include <windows.h>

#include <cstdio>
#include <string>

#include "automation/text.h"
#include "automation/com_error.h"
#include "base/handles.h"
#include "store.h"

namespace {

std::string readFile(const std::wstring& path) {
    const qb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) throw qb::automation::ComError::runtime(53, path);
    std::string text;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got) text.append(buf, got);
    return text;
}

int usage() {
    std::fputs("usage: suitectl path | seed FILE.sql | sql STATEMENTS | query SELECT | set NAME VALUE\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return usage();
    std::wstring cmd = argv[1];
    try {
        if (cmd == L"path") {
            std::printf("%s\n", qb::automation::toUtf8(tesra::databasePath()).c_str());
            return 0;
        }
        auto db = tesra::Database::open();
        if (cmd == L"seed" && argc == 3) {
            db->exec(readFile(argv[2]));
        } else if (cmd == L"sql" && argc == 3) {
            db->exec(qb::automation::toUtf8(argv[2]));
        } else if (cmd == L"query" && argc == 3) {
            auto s = db->prepare(qb::automation::toUtf8(argv[2]).c_str());
            while (s.step()) {
                std::string line;
                for (int c = 0; c < s.columns(); ++c) line += (c ? "\t" : "") + qb::automation::toUtf8(s.text(c));
                std::printf("%s\n", line.c_str());
            }
        } else if (cmd == L"set" && argc == 4) {
            db->setSetting(argv[2], argv[3]);
        } else {
            return usage();
        }
        return 0;
    } catch (const qb::automation::ComError& e) {
        std::fprintf(stderr, "suitectl: %s\n", qb::automation::toUtf8(e.description()).c_str());
        return 1;
    }
}
