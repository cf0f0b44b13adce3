#include "ui/controls/items_accessible.h"

#include "ui/window/forwarding_accessible.h"

namespace qb::ui {

namespace {

class ItemsAccessible final : public ForwardingAccessible {
public:
    ItemsAccessible(automation::ComPtr<IAccessible> inner, std::vector<SpokenItem> items, long role)
        : ForwardingAccessible(std::move(inner)), items_(std::move(items)), role_(role) {}

    STDMETHODIMP get_accChildCount(LONG* n) override {
        if (!n) return E_POINTER;
        *n = static_cast<LONG>(items_.size());
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** d) override {
        if (!d) return E_POINTER;
        *d = nullptr;
        return item(child) ? S_FALSE : E_INVALIDARG;  // simple elements of the window's object
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (const SpokenItem* i = item(child)) return textOut(name, i->name);
        return inner_->get_accName(child, name);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (isSelf(child)) return inner_->get_accRole(child, role);
        if (!role) return E_POINTER;
        if (!item(child)) return E_INVALIDARG;
        ::VariantInit(role);
        role->vt = VT_I4;
        role->lVal = role_;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (isSelf(child)) return inner_->get_accState(child, state);
        if (!state) return E_POINTER;
        const SpokenItem* i = item(child);
        if (!i) return E_INVALIDARG;
        ::VariantInit(state);
        state->vt = VT_I4;
        state->lVal = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | (i->selected ? STATE_SYSTEM_SELECTED : 0) |
                      (i->expanded == 1 ? STATE_SYSTEM_EXPANDED : i->expanded == 0 ? STATE_SYSTEM_COLLAPSED : 0);
        return S_OK;
    }

private:
    const SpokenItem* item(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(items_.size())) return nullptr;
        return &items_[static_cast<size_t>(child.lVal - 1)];
    }
    std::vector<SpokenItem> items_;
    long role_;
};

}  // namespace

IAccessible* withItems(IAccessible* standard, std::vector<SpokenItem> items, long role) {
    // The system's object lists the items itself when it has a child for each (Windows' proxies);
    // Wine's has only the windows inside (a list's header).
    LONG own = 0;
    if (!standard || (SUCCEEDED(standard->get_accChildCount(&own)) && own >= static_cast<LONG>(items.size()))) return nullptr;
    standard->AddRef();
    return new ItemsAccessible(automation::ComPtr<IAccessible>::attach(standard), std::move(items), role);
}

}  // namespace qb::ui
