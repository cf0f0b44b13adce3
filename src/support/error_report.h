#pragma once
// Reporting a failure to the user and appending it to the error log.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "automation/failure.h"

namespace qb::support {

// The six-line log block, CRLF line ends, UTF-8.
std::string formatLogBlock(const automation::ComError& e, std::wstring_view handler, std::wstring_view when);
// The current date and time as the user's regional settings write them.
std::wstring nowText();
// Appends to the log; a log that cannot be written is passed over silently.
void appendToLog(const std::wstring& logFile, const std::string& block) noexcept;

// Critical-stop box "Error." / "Desc: ..." / "Source: ..." titled `caption`, then one log block.
void reportError(HWND owner, const std::wstring& caption, std::wstring_view handler,
                 const automation::ComError& e) noexcept;

// An event handler: any failure in `body` is reported under `handler` and the handler ends.
// Returns the failure reported, if there was one.
template <class F>
std::optional<automation::ComError> reportFailure(HWND owner, const std::wstring& caption, std::wstring_view handler,
                                                  F&& body) noexcept {
    try {
        std::forward<F>(body)();
        return std::nullopt;
    } catch (...) {
        std::optional<automation::ComError> failure;
        try {
            failure = automation::currentError();
            reportError(owner, caption, handler, *failure);
        } catch (...) {
        }
        if (!failure) failure.emplace(automation::err::OutOfMemory, L"Out of memory");
        return failure;
    }
}

// The same; returns false when the body failed.
template <class F>
bool handleEvent(HWND owner, const std::wstring& caption, std::wstring_view handler, F&& body) noexcept {
    return !reportFailure(owner, caption, handler, std::forward<F>(body)).has_value();
}

// Inside a catch block, after a handler reported `reported` and read its lists again: the failure
// in flight is logged under `where`, unless it is the one already reported (one failure, one
// log block).
void logUnlessReported(const automation::ComError& reported, std::wstring_view where) noexcept;

}  // namespace qb::support
