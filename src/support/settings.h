#pragma once
// Per-user application settings where an automation client's GetSetting/SaveSetting keep them:
// HKCU\Software\VB and VBA Program Settings\<application>\<section>, string values.
#include <string>

namespace qb::support {

std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                        const std::wstring& fallback);
void SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                 const std::wstring& value);

}  // namespace qb::support
