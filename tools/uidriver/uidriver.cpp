// uidriver: drives a window of another process, the way a user would, for end-to-end tests.
//   uidriver wait CAPTION                      waits (30 s) until a window with that caption shows
//   uidriver gone CAPTION                      waits (30 s) until no such window is left
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
//                                              screen reader reads it: "class|name|role|value|items|state"
//                                              (role and state as numbers, the state in hex)
//   uidriver keyboard CAPTION                  as a keyboard user meets the window now: presses Tab from
//                                              the control with the focus until the focus is back
//                                              and prints "round: NAME > NAME > ...", then one
//                                              "fault: ..." line for each duplicate access key, each
//                                              Tab stop never reached, a stop at an option not chosen,
//                                              a Tab out of reading order, a missing default button
//                                              and a focus on a hidden or disabled control or on
//                                              the window itself
//   uidriver press CAPTION VK                  presses a key (virtual-key code) where the focus is
//   uidriver colors CAPTION CLASS#N            reads that child (or with "-" the window's client area)
//                                              off the screen: "BACKGROUND INK RATIO", the commonest
//                                              colour, the one of most contrast to it among those
//                                              of at least 20 pixels, and their contrast ratio
//   uidriver itemheight CAPTION CLASS#N        prints the height of a tree's rows in pixels (its
//                                              pictures' height, or its text's where that is more)
//   uidriver rect CAPTION                      prints the window's place on the screen as WxH+X+Y
//   uidriver boxes -                           prints each dialog box shown now, without waiting:
//                                              "CAPTION: TEXT / TEXT ..." (its static texts)
//   uidriver highcontrast on|off               turns the High Contrast Black theme on (its colours and
//                                              the setting, told to every window) or back off
// A CAPTION ending in "*" stands for any caption that begins with what comes before it.
// Exit code 0 on success, 1 when the window or control was not found, 3 when the window's program
// gave no answer within a minute (hung: every question put to it waits for its message loop).
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// A shown top-level window with that caption ("Text*": beginning with "Text"); with `anyState`
// hidden ones count too.
HWND findTop(const std::wstring& caption, bool anyState = false) {
    // Every top-level window is looked at: FindWindow gives the first of that caption only, and a
    // hidden one of the same caption (one being made or going) would hide the window shown.
    const bool prefix = !caption.empty() && caption.back() == L'*';
    struct Search {
        std::wstring text;
        bool prefix, anyState;
        HWND found = nullptr;
    } search{prefix ? caption.substr(0, caption.size() - 1) : caption, prefix, anyState};
    ::EnumWindows(
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t text[512] = {};
            ::GetWindowTextW(h, text, 512);
            const bool named = s->prefix ? std::wstring(text).starts_with(s->text) : _wcsicmp(s->text.c_str(), text) == 0;
            if (named && (s->anyState || ::IsWindowVisible(h))) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitFor(const std::wstring& caption, DWORD ms = 30000) {
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

// {618736E0-3C3D-11CF-810C-00AA00389B71}, written out: Wine's import library may lack it.
const IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader reads of a window's client object.
struct Spoken {
    bool found = false;
    std::wstring name, value, firstItem;
    long role = 0, state = 0, items = 0;
};

Spoken readAloud(HWND h) {
    Spoken out;
    IAccessible* acc = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), kIAccessible, reinterpret_cast<void**>(&acc))) || !acc)
        return out;
    out.found = true;
    VARIANT self{}, role{}, state{}, first{};
    self.vt = first.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    first.lVal = 1;
    auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), VARIANT which, std::wstring& into) {
        BSTR b = nullptr;
        if (SUCCEEDED((acc->*get)(which, &b)) && b) into = b;
        ::SysFreeString(b);
    };
    text(&IAccessible::get_accName, self, out.name);
    text(&IAccessible::get_accValue, self, out.value);
    if (SUCCEEDED(acc->get_accRole(self, &role)) && role.vt == VT_I4) out.role = role.lVal;
    if (SUCCEEDED(acc->get_accState(self, &state)) && state.vt == VT_I4) out.state = state.lVal;
    LONG count = 0;
    if (SUCCEEDED(acc->get_accChildCount(&count))) out.items = count;
    if (count > 0) text(&IAccessible::get_accName, first, out.firstItem);
    acc->Release();
    return out;
}

// A screen reader's session with a window, the window's own object first, as a screen reader meets
// it. Wine's RPC server can wait for ever when a program lets go of the last object of an interface
// it serves while the reply to a call on that interface is still on its way out (a count of calls
// in progress that nobody lowers any more): the window's object is held for the whole session, so
// the objects read one by one are never the last, and let go only a while after the last reply.
class ReaderSession {
public:
    explicit ReaderSession(HWND w) {
        ::CoInitialize(nullptr);
        ::AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), kIAccessible, reinterpret_cast<void**>(&held_));
    }
    ~ReaderSession() {
        if (held_) {
            ::Sleep(200);
            held_->Release();
        }
        ::CoUninitialize();
    }
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;

private:
    IAccessible* held_ = nullptr;
};

void printUtf8(const std::wstring& line) {
    std::vector<char> out(line.size() * 4 + 1);
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    std::printf("%s\n", out.data());
}

// The window with the keyboard focus in the thread that owns `w`.
HWND focusOf(HWND w) {
    GUITHREADINFO info{sizeof info};
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(w, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Where the focus settles after it leaves `from` (1 s at most for the move): one key may move it
// more than once (a control's site hands it on to the window inside it), and read in between, the
// round would record a stop the user never rests on.
HWND focusAfter(HWND w, HWND from) {
    HWND now = from;
    for (int waited = 0; now == from && waited < 1000; waited += 20, ::Sleep(20)) now = focusOf(w);
    for (int same = 0, reads = 0; same < 5 && reads < 100; ++reads, ::Sleep(20)) {
        const HWND again = focusOf(w);
        same = again == now ? same + 1 : 0;
        now = again;
    }
    return now;
}

void press(HWND target, WPARAM vk) {
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

// The access key of a label or button text ("&Open" is O), or 0.
wchar_t accessKey(HWND h) {
    const std::wstring cls = className(h);
    const LONG style = ::GetWindowLongW(h, GWL_STYLE);
    if (_wcsicmp(cls.c_str(), L"Button") != 0 && (_wcsicmp(cls.c_str(), L"Static") != 0 || (style & SS_NOPREFIX))) return 0;
    const std::wstring text = windowText(h);
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<wchar_t*>(static_cast<UINT_PTR>(text[i + 1])))));
    }
    return 0;
}

bool isOption(HWND h) {
    const LONG type = ::GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    return _wcsicmp(className(h).c_str(), L"Button") == 0 && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON);
}

// A stop as the round prints it: its spoken name, else its class.
std::wstring stopName(HWND h) {
    std::wstring name = readAloud(h).name;
    return name.empty() ? className(h) : name;
}

// The faults a keyboard user meets in `w` as it shows now (see "keyboard" above).
std::vector<std::wstring> keyboardFaults(HWND w, std::wstring& round) {
    std::vector<std::wstring> faults;
    std::map<wchar_t, std::wstring> keys;
    bool hasDefault = false;
    for (HWND h : children(w)) {
        if (!::IsWindowVisible(h)) continue;
        if (wchar_t k = accessKey(h)) {
            auto [at, fresh] = keys.emplace(k, windowText(h));
            if (!fresh) faults.push_back(L"access key " + std::wstring(1, k) + L" on \"" + at->second + L"\" and \"" + windowText(h) + L"\"");
        }
        if (_wcsicmp(className(h).c_str(), L"Button") == 0 && (::GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            hasDefault = true;
    }
    if (!hasDefault) faults.push_back(L"no default button");
    // Tab from the focus until it is back, as the window's own message loop takes the key.
    std::vector<HWND> stops;
    if (HWND at = focusOf(w); at && (at == w || !::IsWindowVisible(at) || !::IsWindowEnabled(at)))
        faults.push_back(L"the focus is on \"" + stopName(at) + L"\", " + (at == w ? L"the window itself" : L"hidden or disabled"));
    for (HWND at = focusOf(w); at && stops.size() < 100; ) {
        stops.push_back(at);
        press(at, VK_TAB);
        const HWND next = focusAfter(w, at);
        if (next == stops.front()) break;
        if (next == at || std::find(stops.begin(), stops.end(), next) != stops.end()) {
            faults.push_back(L"Tab does not come back to \"" + stopName(stops.front()) + L"\" (stays at \"" + stopName(next) + L"\")");
            break;
        }
        at = next;
    }
    if (stops.empty()) faults.push_back(L"no control has the focus");
    for (HWND h : children(w)) {
        const LONG style = ::GetWindowLongW(h, GWL_STYLE);
        if (!(style & WS_TABSTOP) || !::IsWindowVisible(h) || !::IsWindowEnabled(h)) continue;
        if (_wcsicmp(className(::GetParent(h)).c_str(), L"ComboBoxEx32") == 0) continue;  // its combo's
        const bool chosen = !isOption(h) || ::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const bool reached = std::any_of(stops.begin(), stops.end(), [&](HWND s) { return s == h || ::IsChild(h, s); });
        if (chosen && !reached) faults.push_back(L"Tab never reaches \"" + stopName(h) + L"\"");
        if (!chosen && reached) faults.push_back(L"Tab stops at \"" + stopName(h) + L"\", an option not chosen");
    }
    // Reading order: rows (tops within 8 pixels) left to right, top to bottom; going round, the
    // order falls back once, from the last stop to the first.
    int back = 0;
    size_t first = 0;  // the first stop in reading order, where the round is printed from
    std::wstring where;
    for (size_t i = 0; i < stops.size() && stops.size() > 1; ++i) {
        RECT a, b;
        ::GetWindowRect(stops[i], &a);
        ::GetWindowRect(stops[(i + 1) % stops.size()], &b);
        if (std::abs(a.top - b.top) <= 8 ? b.left < a.left : b.top < a.top) {
            ++back;
            first = (i + 1) % stops.size();
            where += L" \"" + stopName(stops[i]) + L"\" > \"" + stopName(stops[(i + 1) % stops.size()]) + L"\"";
        }
    }
    if (back > 1) faults.push_back(L"Tab goes against reading order:" + where);
    for (size_t i = 0; i < stops.size(); ++i) round += (i ? L" > " : L"") + stopName(stops[(first + i) % stops.size()]);
    return faults;
}

// Relative luminance of a colour (WCAG 2).
double luminance(COLORREF c) {
    auto channel = [](int v) {
        const double x = v / 255.0;
        return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}

double contrast(COLORREF a, COLORREF b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The screen's pixels in `r` (as the user sees them): the commonest colour and the one of most
// contrast to it.
void readColors(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP picture = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    std::map<COLORREF, int> counts;
    const auto* pixel = static_cast<const DWORD*>(bits);
    for (int i = 0; bits && i < w * h; ++i) ++counts[RGB((pixel[i] >> 16) & 0xFF, (pixel[i] >> 8) & 0xFF, pixel[i] & 0xFF)];
    ::SelectObject(memory, old);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    COLORREF background = 0, ink = 0;
    int most = -1;
    for (auto [c, n] : counts)
        if (n > most) most = n, background = c;
    double best = 1;
    for (auto [c, n] : counts)
        if (n >= 20 && contrast(c, background) > best) best = contrast(c, background), ink = c;
    std::printf("#%02X%02X%02X #%02X%02X%02X %.1f\n", GetRValue(background), GetGValue(background), GetBValue(background),
                GetRValue(ink), GetGValue(ink), GetBValue(ink), best);
}

int fail(const char* what) {
    std::fprintf(stderr, "uidriver: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // A question to a window waits for its message loop: a hung program must not hang the tests.
    ::CreateThread(nullptr, 0, [](void*) WINAPI -> DWORD {
        ::Sleep(60000);
        std::printf("fault: the window's program gave no answer within 60 s\n");
        std::fflush(stdout);
        ::ExitProcess(3);
    }, nullptr, 0, nullptr);
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
    if (action == L"boxes") {
        ::EnumWindows(
            [](HWND h, LPARAM) WINAPI -> BOOL {
                if (!::IsWindowVisible(h) || className(h) != L"#32770") return TRUE;
                std::wstring line = windowText(h) + L":";
                for (HWND c : children(h))
                    if (_wcsicmp(className(c).c_str(), L"Static") == 0)
                        if (std::wstring t = windowText(c); !t.empty()) line += L" " + t + L" /";
                printUtf8(line);
                return TRUE;
            },
            0);
        return 0;
    }
    if (action == L"gone") {
        for (int i = 0; i < 600; ++i, ::Sleep(50))
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
        const ReaderSession session(w);
        for (HWND h : children(w)) {
            const LONG style = ::GetWindowLongW(h, GWL_STYLE);
            if (!(style & WS_TABSTOP) || !::IsWindowVisible(h) || !::IsWindowEnabled(h)) continue;
            if (_wcsicmp(className(::GetParent(h)).c_str(), L"ComboBoxEx32") == 0) continue;  // read with its combo
            if (_wcsicmp(className(h).c_str(), L"ComboBoxEx32") == 0) {
                HWND inner = reinterpret_cast<HWND>(::SendMessageW(h, CBEM_GETCOMBOCONTROL, 0, 0));
                if (inner) h = inner;
            }
            const Spoken spoken = readAloud(h);
            if (!spoken.found) {
                printUtf8(className(h) + L"|<no object>");
                continue;
            }
            wchar_t state[16];
            std::swprintf(state, 16, L"%lx", static_cast<unsigned long>(spoken.state));
            printUtf8(className(h) + L"|" + spoken.name + L"|" + std::to_wstring(spoken.role) + L"|" + spoken.value + L"|" +
                      std::to_wstring(spoken.items) + L"|" + state);
        }
        return 0;
    }
    if (action == L"keyboard") {
        const ReaderSession session(w);
        std::wstring round;
        const std::vector<std::wstring> faults = keyboardFaults(w, round);
        printUtf8(L"round: " + round);
        for (const std::wstring& f : faults) printUtf8(L"fault: " + f);
        return 0;
    }
    if (action == L"press" && argc == 4) {
        HWND f = focusOf(w);
        if (!f) return fail("no focus");
        press(f, static_cast<WPARAM>(_wtoi(argv[3])));
        return 0;
    }
    if (argc < 4) return fail("missing control");
    if (action == L"colors" && std::wstring(argv[3]) == L"-") {
        RECT r;
        ::GetClientRect(w, &r);
        ::MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
        readColors(r);
        return 0;
    }
    if (action == L"texts") {
        for (HWND h : children(w)) {
            if (_wcsicmp(className(h).c_str(), argv[3]) != 0) continue;
            if (std::wstring t = windowText(h); !t.empty()) printUtf8(t);
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
        printUtf8(windowText(c));
        return 0;
    }
    if (action == L"colors") {
        RECT r;
        ::GetWindowRect(c, &r);
        readColors(r);
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
            press(c, vk);
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
        Spoken spoken;
        {
            const ReaderSession session(w);
            spoken = readAloud(c);
        }
        if (!spoken.found) return fail("no accessible object");
        printUtf8(spoken.name + L"|" + std::to_wstring(spoken.items) + L"|" + spoken.firstItem);
        return 0;
    }
    if (action == L"char" && argc == 5) {
        ::PostMessageW(c, WM_CHAR, static_cast<WPARAM>(_wtoi(argv[4])), 1);
        return 0;
    }
    return fail("unknown action");
}
