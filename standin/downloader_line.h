#pragma once
// The suite downloader's command line: ADDRESS | TARGET [| KEYWORD-ID ...], joined by " | ";
// address and target unquoted (they may hold blanks). Read by Pagefetch.exe, and by the tests that
// play it.
#include <cwchar>
#include <string>
#include <vector>

#include "automation/com_error.h"

namespace tesra {

struct DownloaderLine {
    std::wstring address, target;
    std::vector<long> keywords;
};

// A line without address and target, or with a keyword id that is no number, raises 5.
inline DownloaderLine parseDownloaderLine(const std::wstring& parameters) {
    using qb::automation::ComError;
    std::vector<std::wstring> parts;
    for (size_t from = 0;;) {
        const size_t bar = parameters.find(L" | ", from);
        parts.push_back(parameters.substr(from, bar == std::wstring::npos ? std::wstring::npos : bar - from));
        if (bar == std::wstring::npos) break;
        from = bar + 3;
    }
    if (parts.size() < 2 || parts[0].empty() || parts[1].empty())
        throw ComError(5, L"bad command line: expected ADDRESS | TARGET [| KEYWORD-ID ...]");
    DownloaderLine r{parts[0], parts[1], {}};
    for (size_t i = 2; i < parts.size(); ++i) {
        if (parts[i].empty() || parts[i].find_first_not_of(L"0123456789") != std::wstring::npos)
            throw ComError(5, L"bad command line: keyword id \"" + parts[i] + L"\" is no number");
        r.keywords.push_back(std::wcstol(parts[i].c_str(), nullptr, 10));
    }
    return r;
}

}  // namespace tesra
