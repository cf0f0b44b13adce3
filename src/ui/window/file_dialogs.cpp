#include "ui/window/file_dialogs.h"

#include <commdlg.h>

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

}  // namespace qb::ui
