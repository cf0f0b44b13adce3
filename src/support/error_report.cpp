#include "automation/text.h"
#include "support/error_report.h"

#include <cstdio>

#include "base/handles.h"
#include "support/services.h"

namespace qb::support {

std::string formatLogBlock(const automation::ComError& e, std::wstring_view handler, std::wstring_view when) {
    std::string b;
    b += " -- ERROR --\r\n";
    b += "\tDATE   : " + automation::toUtf8(when) + "\r\n";
    b += "\tNUMBER : " + std::to_string(e.number()) + "\r\n";
    b += "\tSOURCE : " + automation::toUtf8(e.source()) + "  " + automation::toUtf8(handler) + " \r\n";
    b += "\tDESCRIPTION: & " + automation::toUtf8(e.description()) + "\r\n";
    b += std::string(60, '-') + "\r\n";
    return b;
}

std::wstring nowText() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    wchar_t date[128] = {}, time[128] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, 128);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

void appendToLog(const std::wstring& logFile, const std::string& block) noexcept {
    UniqueFile file(::CreateFileW(logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
}

void reportError(HWND owner, const std::wstring& caption, std::wstring_view handler,
                 const automation::ComError& e) noexcept {
    try {
        std::wstring text = L"Error.\r\nDesc: " + e.description() + L"\r\nSource: " + e.source();
        services().prompter->messageBox(owner, text, caption, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
    try {
        appendToLog(services().logFile, formatLogBlock(e, handler, nowText()));
    } catch (...) {
    }
}

void logUnlessReported(const automation::ComError& reported, std::wstring_view where) noexcept {
    try {
        const automation::ComError e = automation::currentError();
        if (e.number() == reported.number() && e.description() == reported.description()) return;
        appendToLog(services().logFile, formatLogBlock(e, where, nowText()));
    } catch (...) {
    }
}

}  // namespace qb::support
