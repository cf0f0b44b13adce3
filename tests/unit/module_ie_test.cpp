// The browser lookup against real top-level windows made by the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "automation/object.h"
#include "engine/engine.h"
#include "fakes.h"
#include "shell/module_ie.h"

namespace qb::testing {
namespace {

// Top-level windows and their children, destroyed at the end of the test.
class Windows {
public:
    ~Windows() {
        for (HWND h : tops_) ::DestroyWindow(h);
    }
    HWND top(const std::wstring& title) {
        HWND h = ::CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                   nullptr, nullptr, nullptr, nullptr);
        tops_.push_back(h);
        return h;
    }
    static HWND child(HWND parent, const wchar_t* cls, const wchar_t* text) {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent, nullptr, nullptr, nullptr);
    }

private:
    std::vector<HWND> tops_;
};

TEST(BrowserLookup, NoBrowserWindowGivesEmptyTexts) {
    Windows w;
    w.top(L"Microsoft Internet Explorer");  // the bare product name is no browser window
    w.top(L"Notes - Editor");
    EXPECT_EQ(shell::GetBrowserUrl(), L"");
    EXPECT_EQ(shell::GetBrowserTitle(), L"");
    EXPECT_EQ(shell::GetBrowserHwnd(), nullptr);
}

TEST(BrowserLookup, AddressIsTheFirstEditDepthFirstAndTitleLosesTheSuffix) {
    Windows w;
    HWND browser = w.top(L"Quarterly - Sales - Microsoft Internet Explorer");
    HWND toolbar = Windows::child(browser, L"STATIC", L"toolbar");
    HWND inner = Windows::child(toolbar, L"STATIC", L"inner");
    Windows::child(inner, L"EDIT", L"http://nested/first");
    Windows::child(browser, L"EDIT", L"http://sibling/second");
    EXPECT_EQ(shell::GetBrowserHwnd(), browser);
    EXPECT_EQ(shell::GetBrowserUrl(), L"http://nested/first");
    EXPECT_EQ(shell::GetBrowserTitle(), L"Quarterly - Sales ") << "the blank before the last dash stays";
}

TEST(BrowserLookup, OfTwoBrowsersTheFirstInEnumerationOrderServesBoth) {
    Windows w;
    HWND a = w.top(L"Alpha - Microsoft Internet Explorer");
    Windows::child(a, L"EDIT", L"http://alpha/");
    HWND b = w.top(L"Beta - Microsoft Internet Explorer");
    Windows::child(b, L"EDIT", L"http://beta/");
    struct Order {
        HWND a, b, first = nullptr;
    } order{a, b};
    ::EnumWindows(
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
            auto* o = reinterpret_cast<Order*>(lp);
            if (h == o->a || h == o->b) {
                o->first = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&order));
    bool alpha = order.first == a;
    EXPECT_EQ(shell::GetBrowserUrl(), alpha ? L"http://alpha/" : L"http://beta/");
    EXPECT_EQ(shell::GetBrowserTitle(), alpha ? L"Alpha " : L"Beta ");
}

TEST(BrowserLookup, ShowRelationWebTakesAddressAndTitleFromTheBrowser) {
    Windows w;
    HWND browser = w.top(L"Suite news - Microsoft Internet Explorer");
    Windows::child(browser, L"EDIT", L"http://127.0.0.1/news/today.html");
    FakeSuite suite;
    auto loader = makeFake(L"Itemkeeper.Engine", suite.log);
    loader->on(L"LoadFileWeb", [](const CallArgs&) { return Variant(static_cast<IDispatch*>(nullptr)); });
    suite.factory.define(L"Itemkeeper.Engine", [loader] { return loader->object(); });
    automation::Object engine(engine::createEngine());
    engine.call(L"ShowRelationWeb", {L"  ", L""});
    EXPECT_EQ(suite.log->back(),
              L"Itemkeeper.Engine.LoadFileWeb(\"http://127.0.0.1/news/today.html\", \"Suite news \", True)");
}

}  // namespace
}  // namespace qb::testing
