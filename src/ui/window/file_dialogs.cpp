#include "ui/window/file_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace qb::ui {

std::wstring SystemFileDialogs::openFile(HWND owner, const std::wstring& title, const std::wstring& filter) {
    std::wstring filters = filter + L"||";  // the list ends with two nulls
    for (wchar_t& c : filters)
        if (c == L'|') c = L'\0';
    std::vector<wchar_t> chosen(32768, L'\0');  // room for a long path
    OPENFILENAMEW ofn{sizeof ofn};
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = chosen.data();
    ofn.nMaxFile = static_cast<DWORD>(chosen.size());
    ofn.lpstrTitle = title.c_str();
    // The host's current folder stays as it was.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&ofn)) return {};
    return chosen.data();
}

SavedFile SystemFileDialogs::saveFile(HWND owner, const std::wstring& name) {
    std::vector<wchar_t> chosen(32768, L'\0'), title(MAX_PATH, L'\0');
    name.copy(chosen.data(), std::min(name.size(), chosen.size() - 1));
    OPENFILENAMEW ofn{sizeof ofn};
    ofn.hwndOwner = owner;
    ofn.lpstrFile = chosen.data();
    ofn.nMaxFile = static_cast<DWORD>(chosen.size());
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(title.size());
    // The chosen file is a placeholder the suite's downloader fills: no question of replacing it.
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&ofn)) return {};
    return {chosen.data(), title.data()};
}

}  // namespace qb::ui
