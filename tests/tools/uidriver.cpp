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
// Exit code 0 on success, 1 when the window or control was not found.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HWND waitFor(const std::wstring& caption, DWORD ms = 10000) {
    for (DWORD waited = 0;; waited += 50) {
        HWND h = ::FindWindowW(nullptr, caption.c_str());
        if (h && ::IsWindowVisible(h)) return h;
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
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
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
    if (action == L"gone") {
        for (int i = 0; i < 200; ++i, ::Sleep(50))
            if (!::FindWindowW(nullptr, caption.c_str())) return 0;
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
    if (action == L"clientsize") {
        RECT rc;
        ::GetClientRect(w, &rc);
        std::printf("%ldx%ld\n", rc.right - rc.left, rc.bottom - rc.top);
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
    if (action == L"char" && argc == 5) {
        ::PostMessageW(c, WM_CHAR, static_cast<WPARAM>(_wtoi(argv[4])), 1);
        return 0;
    }
    return fail("unknown action");
}
