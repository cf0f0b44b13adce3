#include "ui/window/file_dialogs.h"

#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <vector>

#include "automation/com_error.h"

namespace qb::ui {
namespace {

// A dialog that answered nothing: cancelled by the user, or it could not start (a proposed name
// it refuses, no memory): that is said, not taken for a cancel.
void requireCancelled(const wchar_t* dialog) {
    const DWORD error = ::CommDlgExtendedError();
    if (error == 0) return;
    std::wstring why = error == FNERR_INVALIDFILENAME ? L"it refused the file name proposed"
                       : error == FNERR_BUFFERTOOSMALL ? L"the name chosen is too long"
                                                       : L"error " + std::to_wstring(error);
    throw automation::ComError(automation::err::InvalidProcedureCall,
                               std::wstring(L"The ") + dialog + L" dialog could not be shown: " + why + L".",
                               automation::kComponentSource);
}

}  // namespace

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
    if (!::GetOpenFileNameW(&ofn)) {
        requireCancelled(L"Open");
        return {};
    }
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
    if (!::GetSaveFileNameW(&ofn)) {
        requireCancelled(L"Save As");
        return {};
    }
    return {chosen.data(), title.data()};
}

}  // namespace qb::ui
