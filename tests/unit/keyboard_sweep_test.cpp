// Windows of the component not swept from another process, each tab page shown in turn, as a
// keyboard user meets them: one access key per letter among the controls shown together, Tab in
// reading order and once per set of option buttons, a default button for Enter.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "fakes.h"
#include "in_process_suite.h"
#include "windows/dialogs/edit_dialogs.h"
#include "windows/dialogs/exist_file_server.h"
#include "windows/web/frm_relation_web.h"

namespace qb::testing {
namespace {


// The access key of a window text ("&Open" is O), or 0.
wchar_t accessKey(HWND h) {
    wchar_t cls[32] = {};
    ::GetClassNameW(h, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0 && (::GetWindowLongW(h, GWL_STYLE) & SS_NOPREFIX)) return 0;
    wchar_t text[256] = {};
    ::GetWindowTextW(h, text, 256);
    for (const wchar_t* p = text; *p; ++p) {
        if (*p != L'&') continue;
        if (p[1] == L'&') {
            ++p;
            continue;
        }
        return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<wchar_t*>(static_cast<UINT_PTR>(p[1])))));
    }
    return 0;
}

RECT placeOf(HWND h, HWND form) {
    RECT r;
    ::GetWindowRect(h, &r);
    ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What is wrong with the page shown: duplicate access keys, Tab out of reading order, no default
// button. Empty when nothing is.
std::vector<std::string> keyboardFaults(ui::Form& form, const std::string& where, bool needsDefault) {
    std::vector<std::string> faults;
    std::map<wchar_t, std::wstring> keys;
    bool hasDefault = false;
    for (ui::Control* c : form.controls()) {
        HWND h = c->handle();
        if (!h || !::IsWindowVisible(h)) continue;
        if (wchar_t k = accessKey(h)) {
            auto [at, fresh] = keys.emplace(k, c->name());
            if (!fresh) faults.push_back(where + ": access key " + narrow(std::wstring(1, k)) + " on " + narrow(at->second) + " and " + narrow(c->name()));
        }
        if (auto* b = dynamic_cast<ui::Button*>(c); b && (::GetWindowLongW(h, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) hasDefault = true;
    }
    if (needsDefault && !hasDefault) faults.push_back(where + ": no default button");
    // Tab from the first stop round to it again, as the modal loop hands the key over.
    std::vector<HWND> stops;
    const std::vector<ui::Control*> order = form.tabOrder();
    if (!order.empty()) ::SetFocus(order.front()->handle());
    for (size_t i = 0; i <= order.size() && ::GetFocus(); ++i) {
        if (i && ::GetFocus() == stops.front()) break;
        stops.push_back(::GetFocus());
        MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
        form.translateKey(tab);
    }
    // Every stop is reached (the focus may be on a window inside it); of a set of options, one.
    auto reached = [&](const ui::Control* c) {
        return std::any_of(stops.begin(), stops.end(), [&](HWND s) { return s == c->handle() || ::IsChild(c->handle(), s); });
    };
    for (ui::Control* c : form.controls()) {
        HWND h = c->handle();
        if (!c->isTabStop() || !::IsWindowVisible(h) || !::IsWindowEnabled(h)) continue;
        auto* option = dynamic_cast<ui::OptionButton*>(c);
        if (option ? std::none_of(option->group().begin(), option->group().end(), reached) : !reached(c))
            faults.push_back(where + ": Tab never reaches " + narrow(c->name()));
    }
    const size_t options = std::count_if(stops.begin(), stops.end(), [](HWND s) {
        wchar_t cls[16] = {};
        ::GetClassNameW(s, cls, 16);
        return _wcsicmp(cls, L"Button") == 0 && (::GetWindowLongW(s, GWL_STYLE) & 0xF) == BS_AUTORADIOBUTTON;
    });
    if (options > 1) faults.push_back(where + ": Tab stops at " + std::to_string(options) + " option buttons of one set");
    // Reading order: a row (tops within 8 pixels) left to right, rows top to bottom.
    for (size_t i = 1; i < stops.size(); ++i) {
        RECT a = placeOf(stops[i - 1], form.handle()), b = placeOf(stops[i], form.handle());
        const bool sameRow = std::abs(a.top - b.top) <= 8;
        if (sameRow ? b.left < a.left : b.top < a.top) {
            wchar_t na[64] = {}, nb[64] = {};
            ::GetWindowTextW(stops[i - 1], na, 64);
            ::GetWindowTextW(stops[i], nb, 64);
            std::ostringstream s;
            s << where << ": Tab goes from \"" << narrow(na) << "\" (" << a.left << "," << a.top << ") to \"" << narrow(nb)
              << "\" (" << b.left << "," << b.top << ")";
            faults.push_back(s.str());
        }
    }
    return faults;
}

// Each page of the form shown in turn (one page for a form without tabs).
std::vector<std::string> keyboardFaultsOfEveryPage(ui::Form& form, const std::string& title, bool needsDefault = true) {
    ::ShowWindow(form.handle(), SW_SHOWNA);
    std::vector<std::string> faults;
    ui::TabStrip* tabs = form.pages();
    const int pages = tabs ? tabs->pageCount() : 1;
    for (int p = 1; p <= pages; ++p) {
        if (tabs) {
            if (!tabs->pageEnabled(p)) continue;
            tabs->select(p);
        }
        auto more = keyboardFaults(form, title + (tabs ? " page " + std::to_string(p) : ""), needsDefault);
        faults.insert(faults.end(), more.begin(), more.end());
    }
    return faults;
}

std::string joined(const std::vector<std::string>& faults) {
    std::string s;
    for (const auto& f : faults) s += "\n  " + f;
    return s;
}

struct KeyboardSweepTest : SeededSuite {
    void SetUp() override {
        SeededSuite::SetUp();
        db->exec("INSERT INTO items(FileId, FileName, FileCurrentPath, FileType) VALUES (7, 'News', 'http://example.test/news', 'Web');");
    }
    static automation::Object loader() { return automation::Object(automation::makeObject<tesra::ItemLoader>()); }
};

TEST_F(KeyboardSweepTest, TheWebWindowsPagesAndTheEditDialogsHaveOneAccessKeyPerLetterTabInReadingOrderAndADefaultButton) {
    std::vector<std::string> faults;
    auto sweep = [&](ui::Form& form, const std::string& title, bool needsDefault = true) {
        auto more = keyboardFaultsOfEveryPage(form, title, needsDefault);
        faults.insert(faults.end(), more.begin(), more.end());
    };
    // The local file, server and mail windows and the memo dialog are swept from another
    // process, as a keyboard user meets them (the end-to-end tests); here the rest.
    {
        windows::frmRelationWeb w;
        w.oFileSelected = loader().callObject(L"LoadFileWeb", {L"http://example.test/news", L"", false});
        w.strUrl = L"http://example.test/news";
        w.load();
        w.Form_Activate();
        sweep(w, "web page window");
        w.unload();
    }
    {
        windows::frmEditName name;
        name.oFileSelected = loadItem(L"C:\\docs\\report.txt");
        name.load();
        sweep(name, "name dialog");
        windows::frmExistFileServer clash;
        clash.load();
        sweep(clash, "name clash dialog");
    }
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

}  // namespace
}  // namespace qb::testing
