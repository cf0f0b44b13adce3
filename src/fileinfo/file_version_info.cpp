#include "fileinfo/file_version_info.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "fileinfo/file_info.h"

namespace qb::fileinfo {
namespace {

std::wstring digits(unsigned value, int width) {
    wchar_t buf[16];
    swprintf(buf, 16, L"%0*u", width, value);
    return buf;
}

const wchar_t* const kStringNames[9] = {L"CompanyName",     L"FileDescription",  L"FileVersion",
                                        L"InternalName",    L"LegalCopyright",   L"LegalTrademarks",
                                        L"OriginalFilename", L"ProductName",     L"ProductVersion"};

std::wstring osName(DWORD os) {
    switch (os) {
        case 0x10001: return L"DOS-Win16";
        case 0x10004: return L"DOS-Win32";
        case 0x20002: return L"OS/2-16 PM-16";
        case 0x30003: return L"OS/2-16 PM-32";
        case 0x40004: return L"NT-Win32";
        default: return L"Unknown";
    }
}

}  // namespace

std::wstring CFileVersionInfo::formatVersion(unsigned long ms, unsigned long ls) {
    unsigned major = HIWORD(ms), minor = LOWORD(ms), build = HIWORD(ls), revision = LOWORD(ls);
    std::wstring v = std::to_wstring(major) + L"." + digits(minor, 2) + L".";
    return v + (build > 0 ? digits(build, 2) + digits(revision, 2) : digits(revision, 4));
}

void CFileVersionInfo::setFullPathName(const std::wstring& path) {
    std::vector<wchar_t> buf(MAX_PATH);
    DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (n >= buf.size()) {
        buf.resize(n + 1);
        n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    }
    if (n == 0) return;
    fullPathName_.assign(buf.data(), n);
    Refresh();
}

void CFileVersionInfo::Refresh() {
    const std::wstring file = longPathForm(fullPathName_);
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) return;
    available_ = true;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return;

    void* block = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(data.data(), L"\\", &block, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
        verStructure_ = std::to_wstring(HIWORD(fixed->dwStrucVersion)) + L"." + std::to_wstring(LOWORD(fixed->dwStrucVersion));
        verFile_ = formatVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        verProduct_ = formatVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        fileFlags_.clear();
        const wchar_t* flagNames[] = {L"Debug ", L"PreRel ", L"Patched ", L"Private ", L"Info ", L"Special "};
        for (int bit = 0; bit < 6; ++bit)
            if (fixed->dwFileFlags & (1u << bit)) fileFlags_ += flagNames[bit];
        fileOS_ = osName(fixed->dwFileOS);
        static const wchar_t* const types[] = {L"Unknown", L"Application", L"DLL", L"Driver", L"Font", L"VxD", L"Unknown", L"Lib"};
        fileType_ = fixed->dwFileType <= 7 ? types[fixed->dwFileType] : L"Unknown";
        static const wchar_t* const drivers[] = {L"Unknown",      L"Printer drv", L"Keyboard drv", L"Language drv",
                                                 L"Display drv",  L"Mouse drv",   L"Network drv",  L"System drv",
                                                 L"Installable",  L"Sound drv",   L"Comm drv"};
        static const wchar_t* const fonts[] = {nullptr, L"Raster Font", L"Vector Font", L"TrueType Font"};
        if (fixed->dwFileType == VFT_DRV && fixed->dwFileSubtype <= 10) fileSubType_ = drivers[fixed->dwFileSubtype];
        if (fixed->dwFileType == VFT_FONT && fixed->dwFileSubtype >= 1 && fixed->dwFileSubtype <= 3)
            fileSubType_ = fonts[fixed->dwFileSubtype];
    }

    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &length) || length < 4) return;
    const auto* translation = static_cast<const WORD*>(block);
    wchar_t key[9];
    swprintf(key, 9, L"%04X%04X", translation[0], translation[1]);
    wchar_t name[256] = {};
    language_ = ::VerLanguageNameW(translation[0], name, 256) ? name : L"";
    for (int i = 0; i < 9; ++i) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\") + key + L"\\" + kStringNames[i];
        if (::VerQueryValueW(data.data(), query.c_str(), &block, &length) && length > 0)
            strings_[i] = static_cast<const wchar_t*>(block);
    }
}

}  // namespace qb::fileinfo
