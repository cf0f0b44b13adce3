// What a screen reader finds in a grid: a list whose items are the rows, each named by the texts
// of its visible cells, with its place on the screen and its selected and focused state. The
// grid itself is the system's object for its window.
#include <oleacc.h>

#include "automation/com_ptr.h"
#include "ui/controls/grid.h"
#include "ui/window/form.h"
#include "ui/window/forwarding_accessible.h"

namespace qb::ui {

namespace {

using automation::ComPtr;

void setChild(VARIANT* out, long child) {
    ::VariantInit(out);
    if (child < 0) return;  // VT_EMPTY: nothing
    out->vt = VT_I4;
    out->lVal = child;
}

class GridAccessible final : public ForwardingAccessible {
public:
    GridAccessible(ComPtr<IAccessible> standard, HWND window) : ForwardingAccessible(std::move(standard)), window_(window) {}

    STDMETHODIMP get_accChildCount(LONG* n) override {
        if (!n) return E_POINTER;
        const Grid* g = Grid::fromWindow(window_);
        if (!g) return RPC_E_DISCONNECTED;
        *n = g->rows();
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** d) override {
        if (!d) return E_POINTER;
        *d = nullptr;
        return row(child) ? S_FALSE : E_INVALIDARG;  // rows are simple elements of the grid's object
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (isSelf(child)) return inner_->get_accName(child, name);
        const Grid* g = Grid::fromWindow(window_);
        if (int r = row(child)) return textOut(name, g->rowName(r));
        return E_INVALIDARG;
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (isSelf(child)) {
            setChild(role, ROLE_SYSTEM_LIST);  // its rows are its items
            return S_OK;
        }
        if (!row(child)) return E_INVALIDARG;
        setChild(role, ROLE_SYSTEM_LISTITEM);
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        if (isSelf(child)) return inner_->get_accState(child, state);
        const int r = row(child);
        if (!r) return E_INVALIDARG;
        const Grid* g = Grid::fromWindow(window_);
        long s = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (r == g->selectedRow()) {
            s |= STATE_SYSTEM_SELECTED;
            if (::GetFocus() == window_) s |= STATE_SYSTEM_FOCUSED;
        }
        RECT client, item = g->rowRect(r);
        ::GetClientRect(window_, &client);
        if (item.bottom <= 0 || item.top >= client.bottom) s |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
        setChild(state, s);
        return S_OK;
    }
    STDMETHODIMP accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override {
        if (!x || !y || !w || !h) return E_POINTER;
        if (isSelf(child)) return inner_->accLocation(x, y, w, h, child);
        const int r = row(child);
        if (!r) return E_INVALIDARG;
        RECT item = Grid::fromWindow(window_)->rowRect(r);
        ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&item), 2);
        *x = item.left, *y = item.top, *w = item.right - item.left, *h = item.bottom - item.top;
        return S_OK;
    }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override {
        if (!child) return E_POINTER;
        const Grid* g = Grid::fromWindow(window_);
        if (!g) return RPC_E_DISCONNECTED;
        POINT p{x, y};
        ::ScreenToClient(window_, &p);
        RECT client;
        ::GetClientRect(window_, &client);
        if (!::PtInRect(&client, p)) return inner_->accHitTest(x, y, child);
        const int r = g->hitTest(p);
        setChild(child, r ? r : CHILDID_SELF);
        return S_OK;
    }
    STDMETHODIMP get_accFocus(VARIANT* child) override {
        if (!child) return E_POINTER;
        const Grid* g = Grid::fromWindow(window_);
        if (!g) return RPC_E_DISCONNECTED;
        setChild(child, ::GetFocus() != window_ ? -1 : g->selectedRow() ? g->selectedRow() : CHILDID_SELF);
        return child->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    STDMETHODIMP get_accSelection(VARIANT* child) override {
        if (!child) return E_POINTER;
        const Grid* g = Grid::fromWindow(window_);
        if (!g) return RPC_E_DISCONNECTED;
        setChild(child, g->selectedRow() ? g->selectedRow() : -1);
        return child->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
        const int r = row(child);
        if (!r) return isSelf(child) ? inner_->accSelect(flags, child) : E_INVALIDARG;
        if (flags & SELFLAG_TAKEFOCUS) ::SetFocus(window_);
        if (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION))
            const_cast<Grid*>(Grid::fromWindow(window_))->selectRow(r);
        return S_OK;
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        const Grid* g = Grid::fromWindow(window_);
        if (!g) return RPC_E_DISCONNECTED;
        long to = -1;
        if (isSelf(start)) {
            if (direction == NAVDIR_FIRSTCHILD && g->rows()) to = 1;
            else if (direction == NAVDIR_LASTCHILD && g->rows()) to = g->rows();
            else return inner_->accNavigate(direction, start, end);
        } else if (const int r = row(start)) {
            if ((direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && r < g->rows()) to = r + 1;
            if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && r > 1) to = r - 1;
        } else {
            return E_INVALIDARG;
        }
        setChild(end, to);
        return to < 0 ? S_FALSE : S_OK;
    }
    // The rest: the grid's own from the system's object; rows have none.
    STDMETHODIMP get_accValue(VARIANT c, BSTR* v) override { return self(c, v, &IAccessible::get_accValue); }
    STDMETHODIMP get_accDescription(VARIANT c, BSTR* d) override {
        return self(c, d, &IAccessible::get_accDescription);
    }
    STDMETHODIMP get_accHelp(VARIANT c, BSTR* h) override { return self(c, h, &IAccessible::get_accHelp); }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return self(c, k, &IAccessible::get_accKeyboardShortcut);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT c, BSTR* a) override {
        return self(c, a, &IAccessible::get_accDefaultAction);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
        return isSelf(c) ? inner_->get_accHelpTopic(f, c, t) : DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT c) override {
        return isSelf(c) ? inner_->accDoDefaultAction(c) : DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // The row a child id names, or 0 (self, another type, out of range, or the grid gone).
    int row(const VARIANT& child) const {
        const Grid* g = Grid::fromWindow(window_);
        if (!g || child.vt != VT_I4 || child.lVal < 1 || child.lVal > g->rows()) return 0;
        return static_cast<int>(child.lVal);
    }
    HRESULT self(const VARIANT& c, BSTR* out, HRESULT (STDMETHODCALLTYPE IAccessible::*member)(VARIANT, BSTR*)) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (isSelf(c)) return (inner_.get()->*member)(c, out);
        return row(c) ? S_FALSE : E_INVALIDARG;
    }

    HWND window_;
};

}  // namespace

IAccessible* Grid::makeAccessible(IAccessible* standard) const {
    return new GridAccessible(ComPtr<IAccessible>(standard), handle());
}

}  // namespace qb::ui
