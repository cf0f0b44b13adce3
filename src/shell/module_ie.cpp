#include "shell/module_ie.h"

#include <vector>

#include "automation/text.h"

namespace qb::shell {
namespace {

std::wstring windowTitle(HWND window, int capacity) {
    std::vector<wchar_t> buf(capacity + 1);
    int n = ::GetWindowTextW(window, buf.data(), capacity);
    return std::wstring(buf.data(), n > 0 ? n : 0);
}

BrowserFind walk() {
    BrowserFind found;
    ::EnumWindows(&EnumWindowsProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

BOOL CALLBACK EnumWindowsProc(HWND window, LPARAM found) {
    try {
        const std::wstring title = windowTitle(window, 1024);
        const std::wstring suffix = kBrowserSuffix;
        if (title.size() >= suffix.size() && title.compare(title.size() - suffix.size(), suffix.size(), suffix) == 0) {
            auto* into = reinterpret_cast<BrowserFind*>(found);
            into->address = FindEditText(window);
            into->window = window;
            return FALSE;
        }
    } catch (...) {
        // A window that cannot be read is passed over.
    }
    return TRUE;
}

std::wstring FindEditText(HWND window) {
    wchar_t cls[256] = {};
    int n = ::GetClassNameW(window, cls, 256);
    if (std::wstring(cls, n > 0 ? n : 0) == L"Edit") return GetEditText(window);
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        std::wstring text = FindEditText(child);
        if (!text.empty()) return text;
    }
    return {};
}

std::wstring GetEditText(HWND window) {
    if (!window) return {};
    auto length = static_cast<int>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    if (length <= 0) return {};
    std::vector<wchar_t> buf(length + 1);
    auto got = static_cast<int>(::SendMessageW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buf.data())));
    return std::wstring(buf.data(), got > 0 ? got : 0);
}

std::wstring GetBrowserUrl() { return walk().address; }

HWND GetBrowserHwnd() { return walk().window; }

std::wstring GetBrowserTitle() noexcept {
    std::wstring title;
    try {
        HWND window = GetBrowserHwnd();
        if (window) title = windowTitle(window, 255);
        std::vector<std::wstring> pieces;
        size_t start = 0;
        for (size_t dash; (dash = title.find(L'-', start)) != std::wstring::npos; start = dash + 1)
            pieces.push_back(title.substr(start, dash - start));
        pieces.push_back(title.substr(start));
        if (automation::trimBlanks(pieces.back()) == kBrowserProduct) {
            std::wstring joined = pieces.front();
            for (size_t i = 1; i + 1 < pieces.size(); ++i) joined += L"-" + pieces[i];
            title = joined;
        }
    } catch (...) {
    }
    return title;
}

}  // namespace qb::shell
