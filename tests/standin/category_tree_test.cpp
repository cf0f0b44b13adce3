// The stand-in's category tree control is as strict with its container as a real control may
// be, and shows what the suite stores: hosted by the window layer's container, and refused by
// containers that do less.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "automation/com_object.h"
#include "category_tree.h"
#include "fakes.h"
#include "suite_database.h"
#include "ui/activex/control_site.h"
#include "ui/activex/event_connection.h"
#include "ui/window/form.h"

namespace qb::testing {
namespace {

using automation::ComPtr;
using automation::Object;

constexpr char kSeed[] = R"sql(
INSERT INTO views(ViewId, ViewName) VALUES (1, 'Projects'), (2, 'Archive');
INSERT INTO categories(CatId, CatName, ParentCategoryId, ViewId) VALUES
  (10, 'b-Sales', 0, 1), (11, 'Offers', 10, 1), (12, 'a-Legal', 0, 1), (13, 'Lost', 99, 1), (20, 'Old', 0, 2);
)sql";

// A client site and nothing more: no in-place site, no ambient properties.
class BareSite final : public automation::ComObject<IOleClientSite, IID_IOleClientSite> {
public:
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override {
        *m = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

// A sink that answers IDispatch only, not the control's event interface.
class PlainSink final : public automation::ComObject<IDispatch, IID_IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return S_OK; }
};

struct TreeFactory final : automation::ObjectFactory {
    Object create(std::wstring_view) override { return Object(automation::makeObject<tesra::CategoryTree>()); }
};

class HostForm final : public ui::Form {
public:
    ui::ActiveXControl tree;
    HostForm() : Form({L"frmHost", L"Host", 4000, 3000, RGB(224, 224, 224)}) {
        place({{tree, {L"tree", L"", {120, 120, 3600, 2600}}}});
    }
};

struct CategoryTreeTest : ::testing::Test {
    FakeSuite suite;
    ScopedSuiteDatabase store{L"qbtree"};
    TreeFactory factory;
    support::ScopedServices objects{support::Services{.objects = &factory, .prompter = nullptr, .modal = nullptr, .logFile = {}}};
    void SetUp() override { store.db->exec(kSeed); }
};

HRESULT activate(IOleObject* ole, HWND parent) {
    RECT r{0, 0, 100, 100};
    return ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent, &r);
}

TEST_F(CategoryTreeTest, AContainerThatDoesLessThanAControlNeedsIsRefused) {
    Object control(automation::makeObject<tesra::CategoryTree>());
    auto ole = control.ptr().query<IOleObject>();
    ASSERT_TRUE(ole);
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(activate(ole.get(), parent), E_UNEXPECTED) << "no site yet";
    ComPtr<IOleClientSite> bare = ComPtr<IOleClientSite>::attach(new BareSite);
    ole->SetClientSite(bare.get());
    EXPECT_EQ(activate(ole.get(), parent), E_NOINTERFACE) << "a site that cannot take a control in place";
    ole->SetClientSite(nullptr);

    // Set-up out of order, and a view that is no number.
    try {
        control.call(L"LoadTree");
        ADD_FAILURE() << "loaded without a view";
    } catch (const automation::ComError& e) {
        EXPECT_NE(e.description().find(L"view"), std::wstring::npos);
    }
    try {
        control.put(L"ViewId", L"one");
        ADD_FAILURE() << "took a view that is no number";
    } catch (const automation::ComError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    control.put(L"ViewId", L"1");
    EXPECT_THROW(control.call(L"LoadTree"), automation::ComError) << "not in place";

    // Events for sinks of the event interface only.
    auto container = control.ptr().query<IConnectionPointContainer>();
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(tesra::DIID_CategoryTreeEvents, point.put()), S_OK);
    ComPtr<IDispatch> plain = ComPtr<IDispatch>::attach(new PlainSink);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(plain.get(), &cookie), CONNECT_E_CANNOTCONNECT);
    ::DestroyWindow(parent);
}

TEST_F(CategoryTreeTest, HostedItShowsTheViewsCategoriesByNameAndTellsTheChosenOneUnlessFrozen) {
    HostForm form;
    form.load();
    form.tree.create(L"Tesra.CategoryTree");
    const Object& control = form.tree.object();
    std::vector<std::wstring> heard;
    ui::EventConnection events;
    events.connect(control.ptr(), tesra::DIID_CategoryTreeEvents,
                   {{tesra::kChangeItemId,
                     [&](const automation::CallArgs& a) {
                         heard.push_back(a.value(0).toText() + L"/" + a.value(1).toText() + L"/" + a.value(2).toText());
                     }}},
                   L"test");
    control.put(L"ShowRoot", true);
    control.put(L"ViewId", L"1");
    control.call(L"LoadTree");
    control.call(L"ExpandAll");
    HWND tree = ::FindWindowExW(form.tree.controlWindow(), nullptr, WC_TREEVIEWW, nullptr);
    ASSERT_NE(tree, nullptr);
    std::wstring shown;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM n, int depth) {
        for (; n; n = TreeView_GetNextSibling(tree, n)) {
            wchar_t text[64] = {};
            TVITEMW item{TVIF_TEXT, n};
            item.pszText = text;
            item.cchTextMax = 64;
            TreeView_GetItem(tree, &item);
            shown += std::wstring(static_cast<size_t>(depth), L'>') + text + L"|";
            walk(TreeView_GetChild(tree, n), depth + 1);
        }
    };
    walk(TreeView_GetRoot(tree), 0);
    EXPECT_EQ(shown, L"Projects|>a-Legal|>b-Sales|>>Offers|>Lost|") << "by name, case aside; a category whose parent is gone under the root";

    HTREEITEM root = TreeView_GetRoot(tree);
    HTREEITEM legal = TreeView_GetChild(tree, root);
    TreeView_SelectItem(tree, legal);
    TreeView_SelectItem(tree, root);
    EXPECT_EQ(heard, (std::vector<std::wstring>{L"a-Legal/12/Category", L"Projects/1/View"}));
    auto frozen = control.ptr().query<IOleControl>();
    frozen->FreezeEvents(TRUE);
    TreeView_SelectItem(tree, legal);
    EXPECT_EQ(heard.size(), 2u) << "held back while frozen";
    frozen->FreezeEvents(FALSE);
    events.disconnect();
    form.unload();
    EXPECT_FALSE(::IsWindow(tree));
}

}  // namespace
}  // namespace qb::testing
