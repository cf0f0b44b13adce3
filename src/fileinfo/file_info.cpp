#include "fileinfo/file_info.h"

#include "automation/text.h"

#include <oleauto.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <vector>

namespace qb::fileinfo {
namespace {

using automation::trimBlanks;

std::wstring upper(std::wstring s) {
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return s;
}

// Calls a "fill this buffer" function, growing the buffer until the answer fits.
template <class F>
std::wstring withGrowingBuffer(F call) {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = call(buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(n + 1);
    }
}

bool findOne(const std::wstring& path, WIN32_FIND_DATAW& found) {
    HANDLE h = ::FindFirstFileW(longPathForm(path).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::FindClose(h);
    return true;
}

// A number as the locale writes it: `decimals` after its decimal sign, grouped or not.
std::wstring localeNumber(double value, int decimals, bool grouped, LCID locale) {
    wchar_t decimal[8] = L".", thousand[8] = L",", grouping[16] = L"3;0";
    ::GetLocaleInfoW(locale, LOCALE_SDECIMAL, decimal, 8);
    ::GetLocaleInfoW(locale, LOCALE_STHOUSAND, thousand, 8);
    ::GetLocaleInfoW(locale, LOCALE_SGROUPING, grouping, 16);
    // "3;0" means groups of three; "3;2;0" a first group of three then twos (NUMBERFMT writes 32).
    UINT groups = 0;
    for (const wchar_t* p = grouping; *p; ++p)
        if (*p >= L'1' && *p <= L'9') groups = groups * 10 + (*p - L'0');
    DWORD negative = 1;
    ::GetLocaleInfoW(locale, LOCALE_INEGNUMBER | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&negative),
                     sizeof negative / sizeof(wchar_t));
    // The formats ("0.00", "#,##0") always write the zero before the decimal sign.
    NUMBERFMTW fmt{static_cast<UINT>(decimals), 1, grouped ? groups : 0, decimal, thousand, negative};
    // Rounded half away from zero before the system formats it.
    double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    wchar_t plain[64];
    swprintf(plain, 64, L"%.*f", decimals, rounded);
    wchar_t out[128] = {};
    if (!::GetNumberFormatW(locale, 0, plain, &fmt, out, 128)) return plain;
    return out;
}

}  // namespace

std::wstring longPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\")) return path;
    if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

CFileInfo::~CFileInfo() = default;

void CFileInfo::setFullPathName(const std::wstring& path) {
    std::wstring full = withGrowingBuffer(
        [&](wchar_t* buf, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buf, nullptr); });
    if (full.empty()) return;
    fullPathName_ = full;
    Refresh();
}

void CFileInfo::Refresh() {
    WIN32_FIND_DATAW found{};
    if (!findOne(fullPathName_, found)) {
        fileExists_ = false;
        return;
    }
    fileSizeHigh_ = static_cast<long>(found.nFileSizeHigh);
    attributes_ = static_cast<long>(found.dwFileAttributes);
    fileSize_ = static_cast<long>(found.nFileSizeLow);
    fileExists_ = pathExists_ = true;
    creationTime_ = ConvertFileTime(found.ftCreationTime, true);
    lastAccessTime_ = ConvertFileTime(found.ftLastAccessTime, true);
    modifyTime_ = ConvertFileTime(found.ftLastWriteTime, true);
    fileName_ = StripNulls(std::wstring(found.cFileName, MAX_PATH));

    auto slash = fullPathName_.find_last_of(L'\\');
    if (slash != std::wstring::npos) {
        filePath_ = ExactFolderPath(fullPathName_.substr(0, slash));
        if (filePath_.empty() || filePath_.back() != L'\\') filePath_ += L'\\';
    }
    fullPathName_ = filePath_ + fileName_;
    auto dot = fileName_.find_last_of(L'.');
    fileExtension_ = dot == std::wstring::npos ? std::wstring() : fileName_.substr(dot + 1);

    shortName_ = found.cAlternateFileName[0] == L'\0' ? upper(fileName_)
                                                      : StripNulls(std::wstring(found.cAlternateFileName, 14));
    std::wstring shortPath = withGrowingBuffer([&](wchar_t* buf, DWORD size) {
        return ::GetShortPathNameW(longPathForm(fullPathName_).c_str(), buf, size);
    });
    if (shortPath.starts_with(L"\\\\?\\")) shortPath = shortPath.substr(4);
    if (!shortPath.empty()) {
        shortPathName_ = shortPath;
        shortPath_ = shortPath.substr(0, shortPath.size() - std::min(shortPath.size(), shortName_.size()));
    }

    DWORD high = 0;
    DWORD low = ::GetCompressedFileSizeW(longPathForm(fullPathName_).c_str(), &high);
    compressedFileSize_ = static_cast<long>(low);
    compressedFileSizeHigh_ = static_cast<long>(high);

    SHFILEINFOW shell{};
    ::SHGetFileInfoW(fullPathName_.c_str(), 0, &shell, sizeof shell, SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
    displayName_ = StripNulls(std::wstring(shell.szDisplayName, MAX_PATH));
    typeName_ = StripNulls(std::wstring(shell.szTypeName, 80));
    hIcon_.reset(shell.hIcon);
    if (trimBlanks(typeName_).empty()) typeName_ = trimBlanks(upper(fileExtension_) + L" File");
}

std::wstring CFileInfo::StripNulls(const std::wstring& text) {
    auto nul = text.find(L'\0');
    return nul == std::wstring::npos ? trimBlanks(text) : text.substr(0, nul);
}

double CFileInfo::ConvertFileTime(const FILETIME& time, bool toLocal) {
    FILETIME use = time;
    if (toLocal) ::FileTimeToLocalFileTime(&time, &use);
    SYSTEMTIME st{};
    ::FileTimeToSystemTime(&use, &st);
    st.wMilliseconds = 0;
    double date = 0;
    ::SystemTimeToVariantTime(&st, &date);
    return date;
}

std::wstring CFileInfo::ExactFolderPath(const std::wstring& input) {
    std::wstring path = input;
    if (!path.empty() && path.back() == L'\\') {
        if (path.size() >= 2 && path[path.size() - 2] == L':') return upper(path);
        path.pop_back();
    }
    if (path.starts_with(L"\\\\")) {
        auto serverEnd = path.find(L'\\', 2);
        if (serverEnd != std::wstring::npos && path.find(L'\\', serverEnd + 1) == std::wstring::npos) return path;
    }
    auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return upper(path);
    std::wstring parent = ExactFolderPath(path.substr(0, slash));
    WIN32_FIND_DATAW found{};
    if (!findOne(path, found) || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return parent + L"\\" + StripNulls(std::wstring(found.cFileName, MAX_PATH));
}

std::wstring CFileInfo::formatFileSize(long size, LCID locale) {
    if (size < 1024) return localeNumber(size, 0, true, locale) + L" bytes";
    const long k = size / 1024;
    const double kb = size / 1024.0, mb = size / 1048576.0, gb = mb / 1024.0;
    std::wstring shown;
    if (k < 10) shown = localeNumber(kb, 2, false, locale) + L"KB";
    else if (k < 100) shown = localeNumber(kb, 1, false, locale) + L"KB";
    else if (k < 1000) shown = localeNumber(kb, 0, false, locale) + L"KB";
    else if (k < 10000) shown = localeNumber(mb, 2, false, locale) + L"MB";
    else if (k < 100000) shown = localeNumber(mb, 1, false, locale) + L"MB";
    else if (k < 1000000) shown = localeNumber(mb, 0, false, locale) + L"MB";
    else shown = localeNumber(gb, 2, false, locale) + L"GB";
    return shown + L" (" + localeNumber(size, 0, true, locale) + L" bytes)";
}

std::wstring CFileInfo::formatFileDate(double date, LCID locale) {
    SYSTEMTIME st{};
    ::VariantTimeToSystemTime(date, &st);
    wchar_t day[128] = {}, time[128] = {};
    ::GetDateFormatW(locale, DATE_LONGDATE, &st, nullptr, day, 128);
    ::GetTimeFormatW(locale, 0, &st, nullptr, time, 128);
    return std::wstring(day) + L" " + time;
}

std::wstring CFileInfo::FormatFileSize(long size) { return formatFileSize(size, LOCALE_USER_DEFAULT); }
std::wstring CFileInfo::FormatFileDate(double date) { return formatFileDate(date, LOCALE_USER_DEFAULT); }

}  // namespace qb::fileinfo
