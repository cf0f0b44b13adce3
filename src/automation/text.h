#pragma once
// UTF-8 <-> UTF-16 for files, logs and console output.
#include <string>
#include <string_view>

namespace qb::automation {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);
// The text without the blanks (spaces) at its start and end, as an automation client's Trim.
std::wstring trimBlanks(std::wstring_view text);
// The same, as a view into `text`.
std::wstring_view trimmedBlanks(std::wstring_view text);

}  // namespace qb::automation
