#include "support/settings.h"

#include <windows.h>

#include <vector>

#include "automation/com_error.h"

namespace qb::support {
namespace {

std::wstring keyPath(const std::wstring& application, const std::wstring& section) {
    return L"Software\\VB and VBA Program Settings\\" + application + L"\\" + section;
}

}  // namespace

std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                        const std::wstring& fallback) {
    DWORD size = 0;
    const std::wstring path = keyPath(application, section);
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return fallback;
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1);
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, buf.data(), &size) !=
        ERROR_SUCCESS)
        return fallback;
    return buf.data();
}

void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                 const std::wstring& value) {
    const std::wstring path = keyPath(application, section);
    LSTATUS s = ::RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (s != ERROR_SUCCESS) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(s));
}

}  // namespace qb::support
