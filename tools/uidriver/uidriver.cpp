// uidriver: drives a window of another process, the way a user would, for end-to-end tests.
//   uidriver wait CAPTION                      waits (10 s) until a window with that caption shows
//   uidriver gone CAPTION                      waits (10 s) until no such window is left
//   uidriver settext CAPTION CLASS#N TEXT      sets the text of the N-th (from 1) child of that class
//   uidriver gettext CAPTION CLASS#N           prints the text of that child
//   uidriver click CAPTION BUTTONTEXT          clicks the button with that text
//   uidriver char CAPTION CLASS#N CODE         sends a typed character (13 = Enter) to that child
//   uidriver keys CAPTION CLASS#N VK...        presses keys (virtual-key codes) in that child
//   uidriver treeselect CAPTION CLASS#N N...   selects a tree node by child positions from the root
//                                              (0 0: the first child of the first node)
//   uidriver tab CAPTION CLASS#N INDEX         chooses a tab (from 0) as a click would; prints the
//                                              tab in use afterwards
//   uidriver close CAPTION                     presses the window's close box
//   uidriver clientsize CAPTION                prints the client area as WIDTHxHEIGHT pixels
//   uidriver texts CAPTION CLASS               prints the non-empty texts of all children of that class
//   uidriver listclick CAPTION CLASS#N ROW     clicks a row (from 0) of a list view with the mouse
//   uidriver listchecks CAPTION CLASS#N        prints each row's check box state (1 or 0) on a line
//   uidriver caption CAPTION                   prints the window's whole caption
//   uidriver acc CAPTION CLASS#N               as a screen reader asks: prints the child's accessible
//                                              name, its number of items and the first item's name
//   uidriver accall CAPTION                    every control the keyboard reaches now (shown, enabled,
//                                              a Tab stop; inside a combo, its focusable combo), as a
//                                              screen reader reads it: "class|name|role|value|items"
//   uidriver itemheight CAPTION CLASS#N        prints the height of a tree's rows in pixels (its
//                                              pictures' height, or its text's where that is more)
//   uidriver rect CAPTION                      prints the window's place on the screen as WxH+X+Y
//   uidriver highcontrast on|off               turns the High Contrast Black theme on (its colours and
//                                              the setting, told to every window) or back off
// A CAPTION ending in "*" stands for any caption that begins with what comes before it.
// Exit code 0 on success, 1 when the window or control was not found.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A shown top-level window with that caption ("Text*": beginning with "Text"); with `anyState`
// hidden ones count too.
HWND findTop(const std::wstring& caption, bool anyState = false) {
    if (caption.empty() || caption.back() != L'*') {
        HWND h = ::FindWindowW(nullptr, caption.c_str());
        return h && (anyState || ::IsWindowVisible(h)) ? h : nullptr;
    }
    struct Search {
        std::wstring prefix;
        bool anyState;
        HWND found = nullptr;
    } search{caption.substr(0, caption.size() - 1), anyState};
    ::EnumWindows(
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t text[512] = {};
            ::GetWindowTextW(h, text, 512);
            if (std::wstring(text).starts_with(s->prefix) && (s->anyState || ::IsWindowVisible(h))) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitFor(const std::wstring& caption, DWORD ms = 10000) {
    for (DWORD waited = 0;; waited += 50) {
        if (HWND h = findTop(caption)) return h;
        if (waited >= ms) return nullptr;
        ::Sleep(50);
    }
}

std::wstring windowText(HWND h) {
    wchar_t buf[8192] = {};
    ::SendMessageW(h, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::wstring className(HWND h) {
    wchar_t buf[256] = {};
    ::GetClassNameW(h, buf, 256);
    return buf;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> out;
    ::EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

// A list view row's rectangle, asked for in the list's own process.
bool rowRect(HWND list, int row, RECT& out) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    bool ok = false;
    if (remote) {
        RECT r{LVIR_LABEL, 0, 0, 0};
        ok = ::WriteProcessMemory(process, remote, &r, sizeof r, nullptr) &&
             ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) &&
             ::ReadProcessMemory(process, remote, &out, sizeof out, nullptr);
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return ok;
}

// "Edit#2": the second child of class Edit (class names compare without regard to case).
HWND childByClass(HWND parent, const std::wstring& which) {
    auto hash = which.find(L'#');
    std::wstring cls = which.substr(0, hash);
    int n = hash == std::wstring::npos ? 1 : _wtoi(which.c_str() + hash + 1);
    for (HWND h : children(parent))
        if (_wcsicmp(className(h).c_str(), cls.c_str()) == 0 && --n == 0) return h;
    return nullptr;
}

HWND buttonByText(HWND parent, const std::wstring& text) {
    for (HWND h : children(parent))
        if (_wcsicmp(className(h).c_str(), L"Button") == 0 && windowText(h) == text) return h;
    return nullptr;
}

int fail(const char* what) {
    std::fprintf(stderr, "uidriver: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return fail("usage: uidriver ACTION CAPTION [ARGS]");
    std::wstring action = argv[1], caption = argv[2];
    if (action == L"highcontrast") {
        // Windows' High Contrast Black: window, text, face, button text, highlight, its text.
        static const int indexes[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_3DFACE};
        static const COLORREF black[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255), RGB(0, 0, 0), RGB(0, 0, 0)};
        static const COLORREF standard[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(240, 240, 240), RGB(0, 0, 0), RGB(0, 120, 215), RGB(255, 255, 255), RGB(240, 240, 240)};
        const bool on = caption == L"on";
        HIGHCONTRASTW hc{sizeof hc};
        hc.dwFlags = HCF_AVAILABLE | (on ? HCF_HIGHCONTRASTON : 0);
        ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof hc, &hc, SPIF_SENDCHANGE);
        ::SetSysColors(static_cast<int>(std::size(indexes)), indexes, on ? black : standard);
        HIGHCONTRASTW now{sizeof now};
        ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0);
        std::printf("%s\n", (now.dwFlags & HCF_HIGHCONTRASTON) ? "on" : "off");
        return 0;
    }
    if (action == L"gone") {
        for (int i = 0; i < 200; ++i, ::Sleep(50))
            if (!findTop(caption, true)) return 0;
        return fail("window still there");
    }
    HWND w = waitFor(caption);
    if (!w) return fail("window not found");
    if (action == L"wait") return 0;
    if (action == L"close") {
        ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    if (action == L"click" && argc == 4) {
        HWND b = buttonByText(w, argv[3]);
        if (!b) return fail("button not found");
        ::PostMessageW(b, BM_CLICK, 0, 0);
        return 0;
    }
    if (action == L"rect") {
        RECT r;
        ::GetWindowRect(w, &r);
        std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        return 0;
    }
    if (action == L"caption") {
        std::printf("%ls\n", windowText(w).c_str());
        return 0;
    }
    if (action == L"clientsize") {
        RECT rc;
        ::GetClientRect(w, &rc);
        std::printf("%ldx%ld\n", rc.right - rc.left, rc.bottom - rc.top);
        return 0;
    }
    if (action == L"accall") {
        static const IID accessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        ::CoInitialize(nullptr);
        for (HWND h : children(w)) {
            const LONG style = ::GetWindowLongW(h, GWL_STYLE);
            if (!(style & WS_TABSTOP) || !::IsWindowVisible(h) || !::IsWindowEnabled(h)) continue;
            if (_wcsicmp(className(::GetParent(h)).c_str(), L"ComboBoxEx32") == 0) continue;  // read with its combo
            if (_wcsicmp(className(h).c_str(), L"ComboBoxEx32") == 0) {
                HWND inner = reinterpret_cast<HWND>(::SendMessageW(h, CBEM_GETCOMBOCONTROL, 0, 0));
                if (inner) h = inner;
            }
            IAccessible* acc = nullptr;
            if (FAILED(::AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), accessible, reinterpret_cast<void**>(&acc))) || !acc) {
                std::printf("%ls|<no object>\n", className(h).c_str());
                continue;
            }
            VARIANT self{}, role{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr, value = nullptr;
            LONG count = 0;
            acc->get_accName(self, &name);
            acc->get_accValue(self, &value);
            acc->get_accRole(self, &role);
            acc->get_accChildCount(&count);
            std::wstring line = className(h) + L"|" + (name ? name : L"") + L"|" + std::to_wstring(role.vt == VT_I4 ? role.lVal : 0) +
                                L"|" + (value ? value : L"") + L"|" + std::to_wstring(count);
            std::vector<char> out(line.size() * 4 + 1);
            ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
            std::printf("%s\n", out.data());
            ::SysFreeString(name);
            ::SysFreeString(value);
            acc->Release();
        }
        ::CoUninitialize();
        return 0;
    }
    if (argc < 4) return fail("missing control");
    if (action == L"texts") {
        for (HWND h : children(w)) {
            if (_wcsicmp(className(h).c_str(), argv[3]) != 0) continue;
            std::wstring t = windowText(h);
            if (t.empty()) continue;
            std::vector<char> out(t.size() * 4 + 1);
            ::WideCharToMultiByte(CP_UTF8, 0, t.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr,
                                  nullptr);
            std::printf("%s\n", out.data());
        }
        return 0;
    }
    HWND c = childByClass(w, argv[3]);
    if (!c) return fail("control not found");
    if (action == L"settext" && argc == 5) {
        ::SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    if (action == L"gettext") {
        std::wstring t = windowText(c);
        std::vector<char> out(t.size() * 4 + 1);
        ::WideCharToMultiByte(CP_UTF8, 0, t.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
        std::printf("%s\n", out.data());
        return 0;
    }
    if (action == L"itemheight") {
        std::printf("%d\n", static_cast<int>(::SendMessageW(c, TVM_GETITEMHEIGHT, 0, 0)));
        return 0;
    }
    if (action == L"treeselect" && argc >= 5) {
        // Item handles are plain values: no pointer crosses the process boundary.
        LRESULT node = ::SendMessageW(c, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        for (int i = 4; i < argc && node; ++i) {
            if (i > 4) node = ::SendMessageW(c, TVM_GETNEXTITEM, TVGN_CHILD, node);
            for (int n = _wtoi(argv[i]); n > 0 && node; --n) node = ::SendMessageW(c, TVM_GETNEXTITEM, TVGN_NEXT, node);
        }
        if (!node) return fail("node not found");
        ::SendMessageW(c, TVM_SELECTITEM, TVGN_CARET, node);
        return 0;
    }
    if (action == L"keys" && argc >= 5) {
        for (int i = 4; i < argc; ++i) {
            auto vk = static_cast<WPARAM>(_wtoi(argv[i]));
            ::PostMessageW(c, WM_KEYDOWN, vk, 1);
            ::PostMessageW(c, WM_KEYUP, vk, 0xC0000001);
            ::Sleep(100);
        }
        return 0;
    }
    if (action == L"tab" && argc == 5) {
        // Moving the focus to a tab selects it and sends the same notifications as a click.
        ::SendMessageW(c, TCM_SETCURFOCUS, static_cast<WPARAM>(_wtoi(argv[4])), 0);
        std::printf("%d\n", static_cast<int>(::SendMessageW(c, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    if (action == L"listclick" && argc == 5) {
        RECT r;
        if (!rowRect(c, _wtoi(argv[4]), r)) return fail("no such row");
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        // The list waits for the release after the press, as it does for a real click.
        ::PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(c, WM_LBUTTONUP, 0, at);
        ::Sleep(100);
        return 0;
    }
    if (action == L"listchecks") {
        int rows = static_cast<int>(::SendMessageW(c, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < rows; ++i)
            std::printf("%d\n", static_cast<int>((::SendMessageW(c, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK) >> 12) - 1));
        return 0;
    }
    if (action == L"acc") {
        // {618736E0-3C3D-11CF-810C-00AA00389B71}
        static const IID accessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        ::CoInitialize(nullptr);
        IAccessible* acc = nullptr;
        HRESULT hr = ::AccessibleObjectFromWindow(c, static_cast<DWORD>(OBJID_CLIENT), accessible, reinterpret_cast<void**>(&acc));
        if (FAILED(hr) || !acc) {
            std::printf("error 0x%08lX\n", static_cast<unsigned long>(hr));
            return 1;
        }
        VARIANT self{}, first{};
        self.vt = first.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        first.lVal = 1;
        BSTR name = nullptr, item = nullptr;
        LONG count = 0;
        acc->get_accName(self, &name);
        acc->get_accChildCount(&count);
        if (count > 0) acc->get_accName(first, &item);
        std::printf("%ls|%ld|%ls\n", name ? name : L"", static_cast<long>(count), item ? item : L"");
        ::SysFreeString(name);
        ::SysFreeString(item);
        acc->Release();
        ::CoUninitialize();
        return 0;
    }
    if (action == L"char" && argc == 5) {
        ::PostMessageW(c, WM_CHAR, static_cast<WPARAM>(_wtoi(argv[4])), 1);
        return 0;
    }
    return fail("unknown action");
}
