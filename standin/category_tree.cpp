#include "category_tree.h"

#include <commctrl.h>

#include <map>

#include "automation/com_error.h"
#include "automation/module.h"

namespace tesra {
namespace {

using qb::automation::ComError;
using qb::automation::ComPtr;

constexpr wchar_t kWindowClass[] = L"TesraCategoryTree";
constexpr wchar_t kSource[] = L"Tesra.CategoryTree";
constexpr UINT kTreeChanged = WM_APP + 1;
constexpr long kSuiteError = static_cast<long>(0x80040000L + 0x1200);

HRESULT notSupported(void** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace

void unregisterCategoryTreeClass() { ::UnregisterClassW(kWindowClass, qb::automation::thisModule()); }

CategoryTree::CategoryTree()
    : events_(ComPtr<EventPoint>::attach(new EventPoint(this, DIID_CategoryTreeEvents))) {}

CategoryTree::~CategoryTree() {
    events_->orphan();
    InPlaceDeactivate();
}

void* CategoryTree::interfaceFor(REFIID iid) {
    return qb::automation::answer(
        iid, {{IID_IDispatch, asDispatch()},
              {IID_IOleObject, static_cast<IOleObject*>(this)},
              {IID_IOleWindow, static_cast<IOleInPlaceObject*>(this)},
              {IID_IOleInPlaceObject, static_cast<IOleInPlaceObject*>(this)},
              {IID_IOleControl, static_cast<IOleControl*>(this)},
              {IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}});
}

// ---- IOleObject ----------------------------------------------------------------------------

STDMETHODIMP CategoryTree::SetClientSite(IOleClientSite* site) {
    if (!site) InPlaceDeactivate();
    site_ = ComPtr<IOleClientSite>(site);
    return S_OK;
}

STDMETHODIMP CategoryTree::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(site_).detach();
    return S_OK;
}

STDMETHODIMP CategoryTree::Close(DWORD) { return InPlaceDeactivate(); }

STDMETHODIMP CategoryTree::GetMoniker(DWORD, DWORD, IMoniker** m) { return notSupported(reinterpret_cast<void**>(m)); }

STDMETHODIMP CategoryTree::GetClipboardData(DWORD, IDataObject** d) {
    return notSupported(reinterpret_cast<void**>(d));
}

STDMETHODIMP CategoryTree::EnumVerbs(IEnumOLEVERB** e) {
    if (e) *e = nullptr;
    return OLEOBJ_E_NOVERBS;
}

STDMETHODIMP CategoryTree::EnumAdvise(IEnumSTATDATA** e) {
    if (e) *e = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP CategoryTree::Advise(IAdviseSink*, DWORD* c) {
    if (c) *c = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP CategoryTree::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_CategoryTree;
    return S_OK;
}

STDMETHODIMP CategoryTree::GetUserType(DWORD, LPOLESTR* type) {
    if (!type) return E_POINTER;
    const wchar_t name[] = L"Category tree";
    *type = static_cast<LPOLESTR>(::CoTaskMemAlloc(sizeof name));
    if (!*type) return E_OUTOFMEMORY;
    memcpy(*type, name, sizeof name);
    return S_OK;
}

STDMETHODIMP CategoryTree::SetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP CategoryTree::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP CategoryTree::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

STDMETHODIMP CategoryTree::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            if (site && !site_) site_ = ComPtr<IOleClientSite>(site);
            return activate(parent);
        case OLEIVERB_HIDE:
            if (window_) ::ShowWindow(window_, SW_HIDE);
            return S_OK;
        default: return OLEOBJ_S_INVALIDVERB;
    }
}

// In place in the container's window, where the site says and as big as it says.
HRESULT CategoryTree::activate(HWND) {
    if (window_) {
        ::ShowWindow(window_, SW_SHOW);
        return S_OK;
    }
    if (!site_) return E_UNEXPECTED;  // a control is given its site before it is shown
    ComPtr<IOleInPlaceSite> place;
    if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, place.put_void())) || !place) return E_NOINTERFACE;
    if (place->CanInPlaceActivate() != S_OK) return E_FAIL;
    HWND parent = nullptr;
    if (FAILED(place->GetWindow(&parent)) || !parent) return E_FAIL;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{sizeof frameInfo};
    HRESULT hr = place->GetWindowContext(frame.put(), document.put(), &pos, &clip, &frameInfo);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = place->OnInPlaceActivate())) return hr;
    static const ATOM atom = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = &CategoryTree::windowProc;
        wc.hInstance = qb::automation::thisModule();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        return ::RegisterClassExW(&wc);
    }();
    window_ = atom ? ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", WS_CHILD | WS_CLIPCHILDREN, pos.left, pos.top,
                                       pos.right - pos.left, pos.bottom - pos.top, parent, nullptr,
                                       qb::automation::thisModule(), this)
                   : nullptr;
    if (!window_) {
        place->OnInPlaceDeactivate();
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    tree_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                  TVS_SHOWSELALWAYS,
                              0, 0, pos.right - pos.left, pos.bottom - pos.top, window_, nullptr,
                              qb::automation::thisModule(), nullptr);
    inPlace_ = place;
    applyLook();
    ::ShowWindow(window_, SW_SHOW);
    return S_OK;
}

// ---- IOleInPlaceObject, IOleControl ----------------------------------------------------------

STDMETHODIMP CategoryTree::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP CategoryTree::InPlaceDeactivate() {
    if (!window_) return S_OK;
    HWND w = std::exchange(window_, nullptr);
    tree_ = nullptr;
    ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    ::DestroyWindow(w);
    font_.reset();
    if (auto place = std::move(inPlace_)) place->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP CategoryTree::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (!pos) return E_POINTER;
    if (window_) ::MoveWindow(window_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP CategoryTree::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP CategoryTree::OnAmbientPropertyChange(DISPID id) {
    if (id == DISPID_UNKNOWN || id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_AMBIENT_FONT) applyLook();
    return S_OK;
}

STDMETHODIMP CategoryTree::FreezeEvents(BOOL freeze) {
    frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0);
    return S_OK;
}

STDMETHODIMP CategoryTree::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

// ---- the tree ------------------------------------------------------------------------------

Variant CategoryTree::ambient(DISPID id) const {
    Variant v;
    ComPtr<IDispatch> props;
    if (!site_ || FAILED(site_->QueryInterface(IID_IDispatch, props.put_void())) || !props) return v;
    DISPPARAMS none{};
    if (FAILED(props->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, v.put(), nullptr, nullptr)))
        return Variant();
    return v;
}

// Colours and font: the ones set, else the container's.
void CategoryTree::applyLook() {
    if (!tree_) return;
    OLE_COLOR back = backColor_;
    if (!backColorSet_) {
        Variant a = ambient(DISPID_AMBIENT_BACKCOLOR);
        if (a.type() == VT_I4 || a.type() == VT_UI4) back = static_cast<OLE_COLOR>(a.get()->lVal);
    }
    COLORREF rgb = 0;
    if (SUCCEEDED(::OleTranslateColor(back, nullptr, &rgb))) TreeView_SetBkColor(tree_, rgb);
    Variant f = ambient(DISPID_AMBIENT_FONT);
    if (f.type() == VT_DISPATCH && f.get()->pdispVal) {
        ComPtr<IFont> font;
        HFONT handle = nullptr;
        if (SUCCEEDED(f.get()->pdispVal->QueryInterface(IID_IFont, font.put_void())) && SUCCEEDED(font->get_hFont(&handle))) {
            ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
            font_ = font;  // the handle is the font object's: kept while the tree uses it
        }
    }
}

void CategoryTree::loadTree() {
    if (viewId_.empty()) throw ComError(kSuiteError, L"LoadTree: the view is not set", kSource);
    if (!tree_) throw ComError(kSuiteError, L"LoadTree: the control is not in place", kSource);
    const long view = std::wcstol(viewId_.c_str(), nullptr, 10);
    ::SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
    ++frozen_;  // emptying the tree is no choice of the user's
    TreeView_DeleteAllItems(tree_);
    --frozen_;
    entries_.clear();
    std::vector<std::pair<long, size_t>> all;  // parent id, entry
    std::map<long, std::vector<size_t>> children;
    auto c = db().prepare("SELECT CatId, CatName, ParentCategoryId FROM categories WHERE ViewId = ? "
                          "ORDER BY CatName COLLATE NOCASE, CatId");
    c.bind(1, static_cast<int64_t>(view));
    while (c.step()) {
        entries_.push_back({static_cast<long>(c.integer(0)), c.text(1), L"Category"});
        all.emplace_back(static_cast<long>(c.integer(2)), entries_.size() - 1);
    }
    std::map<long, bool> known;
    for (const Entry& e : entries_) known[e.id] = true;
    for (const auto& [parent, entry] : all) children[known.count(parent) ? parent : 0].push_back(entry);
    HTREEITEM root = TVI_ROOT;
    if (showRoot_) {
        auto v = db().prepare("SELECT ViewName FROM views WHERE ViewId = ?");
        v.bind(1, static_cast<int64_t>(view));
        entries_.push_back({view, v.step() ? v.text(0) : L"View " + viewId_, L"View"});
        TVINSERTSTRUCTW ins{TVI_ROOT, TVI_LAST};
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = entries_.back().name.data();
        ins.item.lParam = static_cast<LPARAM>(entries_.size() - 1);
        root = TreeView_InsertItem(tree_, &ins);
    }
    // Depth first, by an explicit stack: a deep tree does not deepen the call stack.
    std::vector<std::pair<long, HTREEITEM>> pending{{0, root}};
    while (!pending.empty()) {
        auto [parent, node] = pending.back();
        pending.pop_back();
        for (size_t entry : children[parent]) {
            TVINSERTSTRUCTW ins{node, TVI_LAST};
            ins.item.mask = TVIF_TEXT | TVIF_PARAM;
            ins.item.pszText = entries_[entry].name.data();
            ins.item.lParam = static_cast<LPARAM>(entry);
            HTREEITEM added = TreeView_InsertItem(tree_, &ins);
            if (entries_[entry].id != parent) pending.emplace_back(entries_[entry].id, added);
        }
    }
    ::SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
    ::PostMessageW(window_, kTreeChanged, 0, 0);
}

void CategoryTree::expandAll() {
    if (!tree_) return;
    std::vector<HTREEITEM> pending;
    for (HTREEITEM n = TreeView_GetRoot(tree_); n; n = TreeView_GetNextSibling(tree_, n)) pending.push_back(n);
    while (!pending.empty()) {
        HTREEITEM n = pending.back();
        pending.pop_back();
        TreeView_Expand(tree_, n, TVE_EXPAND);
        for (HTREEITEM c = TreeView_GetChild(tree_, n); c; c = TreeView_GetNextSibling(tree_, c)) pending.push_back(c);
    }
    if (HTREEITEM first = TreeView_GetRoot(tree_)) TreeView_EnsureVisible(tree_, first);
}

void CategoryTree::fire(DISPID id, const std::vector<Variant>& args) {
    if (frozen_) return;
    AddRef();  // the container may let the control go while it handles the event
    events_->fire(id, args);
    Release();
}

LRESULT CALLBACK CategoryTree::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CategoryTree*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(h, msg, wp, lp);
    try {
        return self->message(h, msg, wp, lp);
    } catch (...) {
        return 0;  // the control's own failure stays inside it
    }
}

LRESULT CategoryTree::message(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (tree_) ::MoveWindow(tree_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (tree_) ::SetFocus(tree_);
            return 0;
        case WM_NOTIFY: {
            auto* n = reinterpret_cast<NMTREEVIEWW*>(lp);
            if (n->hdr.hwndFrom == tree_ && n->hdr.code == TVN_SELCHANGEDW && n->itemNew.hItem) {
                const size_t index = static_cast<size_t>(n->itemNew.lParam);
                if (index < entries_.size()) {
                    const Entry e = entries_[index];
                    fire(kChangeItemId, {Variant(e.name), Variant(e.id), Variant(e.kind)});
                }
            }
            return 0;
        }
        case kTreeChanged: fire(kTreeChangedId, {}); return 0;
        default: return ::DefWindowProcW(h, msg, wp, lp);
    }
}

const MemberTable& CategoryTree::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.property<CategoryTree>(L"ShowRoot", [](CategoryTree& c) { return c.showRoot_; })
            .assignable<CategoryTree>(L"ShowRoot", [](CategoryTree& c, const Variant& v) { c.showRoot_ = v.toBool(); });
        t.property<CategoryTree>(L"ViewId", [](CategoryTree& c) { return c.viewId_; })
            .assignable<CategoryTree>(L"ViewId", [](CategoryTree& c, const Variant& v) {
                const std::wstring text = v.toText();
                wchar_t* end = nullptr;
                std::wcstol(text.c_str(), &end, 10);
                if (text.empty() || *end) throw ComError(13, L"Type mismatch", kSource);
                c.viewId_ = text;
            });
        t.method<CategoryTree>(L"SetBackColor", [](CategoryTree& c, const CallArgs& a) {
            c.backColor_ = static_cast<OLE_COLOR>(std::wcstol(a.requiredText(0).c_str(), nullptr, 10));
            c.backColorSet_ = true;
            c.applyLook();
        });
        t.method<CategoryTree>(L"LoadTree", [](CategoryTree& c, const CallArgs&) { c.loadTree(); });
        t.method<CategoryTree>(L"ExpandAll", [](CategoryTree& c, const CallArgs&) { c.expandAll(); });
        return t;
    }();
    return table;
}

}  // namespace tesra
