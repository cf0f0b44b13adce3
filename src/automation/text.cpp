#include "automation/text.h"

#include <windows.h>

namespace qb::automation {

std::string toUtf8(std::wstring_view w) {
    if (w.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring fromUtf8(std::string_view s) {
    if (s.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::wstring_view trimmedBlanks(std::wstring_view s) {
    size_t b = s.find_first_not_of(L' ');
    if (b == std::wstring_view::npos) return {};
    return s.substr(b, s.find_last_not_of(L' ') - b + 1);
}

std::wstring trimBlanks(std::wstring_view s) { return std::wstring(trimmedBlanks(s)); }

}  // namespace qb::automation
