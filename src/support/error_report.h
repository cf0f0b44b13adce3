#pragma once
// Reporting a failure to the user and appending it to the error log.
#include <windows.h>

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
// Returns false when the body failed.
template <class F>
bool handleEvent(HWND owner, const std::wstring& caption, std::wstring_view handler, F&& body) noexcept {
    try {
        std::forward<F>(body)();
        return true;
    } catch (...) {
        try {
            reportError(owner, caption, handler, automation::currentError());
        } catch (...) {
        }
        return false;
    }
}

}  // namespace qb::support
