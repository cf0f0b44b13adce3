#include "paths.h"

#include <windows.h>

#include <cwctype>
#include <string_view>

#include "automation/text.h"

namespace tesra {

bool looksLocal(const std::wstring& path) {
    auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && separator(path[2])) return true;
    return path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

std::wstring fullPath(const std::wstring& path) {
    if (path.empty()) return path;
    DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return path;
    full.resize(written);
    return full;
}

std::wstring normalisedIfLocal(const std::wstring& path) { return looksLocal(path) ? fullPath(path) : path; }

bool isExistingFile(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring pathProblem(const std::wstring& path) {
    if (qb::automation::trimBlanks(path).empty()) return L"The path is missing.";
    for (size_t i = 0; i < path.size(); ++i) {
        wchar_t c = path[i];
        if (c < 32 || std::wstring_view(L"?*<>|\"").find(c) != std::wstring_view::npos || (c == L':' && i != 1))
            return L"A path cannot contain ? * < > | \" or control characters, nor a \":\" other than after the drive letter.";
    }
    return {};
}

int comparePaths(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
    return ::CompareStringOrdinal(a, aLength, b, bLength, TRUE) - CSTR_EQUAL;
}

}  // namespace tesra
