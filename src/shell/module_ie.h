#pragma once
// ModuleIE: the page the user is looking at in the browser, found by walking the top-level windows
// for the first whose title ends with the browser's suffix; the address is the text of its first
// edit box (depth first), the title is the window title without the suffix.
#include <windows.h>

#include <string>

namespace qb::shell {

inline constexpr wchar_t kBrowserSuffix[] = L" - Microsoft Internet Explorer";
inline constexpr wchar_t kBrowserProduct[] = L"Microsoft Internet Explorer";

// What one walk found: the address and the window (empty and null when no browser window).
struct BrowserFind {
    std::wstring address;
    HWND window = nullptr;
};

std::wstring GetBrowserUrl();
std::wstring GetBrowserTitle() noexcept;
HWND GetBrowserHwnd();

// The walk's callback: stops (FALSE) at the first browser window; lParam points to a BrowserFind.
BOOL CALLBACK EnumWindowsProc(HWND window, LPARAM found);
// The text of the first "Edit" window in `window`'s tree, depth first; empty when none has text.
std::wstring FindEditText(HWND window);
// The text of an edit box; empty for a null handle or an empty box (then without a second message).
std::wstring GetEditText(HWND window);

}  // namespace qb::shell
