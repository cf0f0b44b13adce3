#include "ui/controls/image_combo.h"

#include "ui/window/form.h"
#include "ui/window/forwarding_accessible.h"

namespace qb::ui {

namespace {

// The items as a screen reader lists them; a snapshot, asked for again at each question.
class ComboAccessible final : public ForwardingAccessible {
public:
    ComboAccessible(automation::ComPtr<IAccessible> inner, std::wstring name, std::vector<std::wstring> items, int selected)
        : ForwardingAccessible(std::move(inner)), name_(std::move(name)), items_(std::move(items)), selected_(selected) {}

    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (isSelf(child)) return textOut(name, name_);
        const int i = item(child);
        return i >= 0 ? textOut(name, items_[static_cast<size_t>(i)]) : inner_->get_accName(child, name);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        if (!isSelf(child)) return inner_->get_accValue(child, value);
        return textOut(value, selected_ >= 0 ? items_[static_cast<size_t>(selected_)] : std::wstring());
    }
    STDMETHODIMP get_accChildCount(LONG* n) override {
        if (!n) return E_POINTER;
        *n = static_cast<LONG>(items_.size());
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** d) override {
        if (!d) return E_POINTER;
        *d = nullptr;
        return item(child) >= 0 ? S_FALSE : E_INVALIDARG;  // simple elements of the combo's object
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (!isSelf(child) && item(child) < 0) return E_INVALIDARG;
        ::VariantInit(role);
        role->vt = VT_I4;
        role->lVal = isSelf(child) ? ROLE_SYSTEM_COMBOBOX : ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (isSelf(child)) return inner_->get_accState(child, state);
        if (!state) return E_POINTER;
        const int i = item(child);
        if (i < 0) return E_INVALIDARG;
        ::VariantInit(state);
        state->vt = VT_I4;
        state->lVal = STATE_SYSTEM_SELECTABLE | (i == selected_ ? STATE_SYSTEM_SELECTED : 0);
        return S_OK;
    }

private:
    // The item (from 0) a child id names, or -1.
    int item(const VARIANT& child) const {
        return child.vt == VT_I4 && child.lVal >= 1 && child.lVal <= static_cast<LONG>(items_.size()) ? child.lVal - 1 : -1;
    }
    std::wstring name_;
    std::vector<std::wstring> items_;
    int selected_;
};

}  // namespace

bool ImageCombo::answerInside(HWND inner, WPARAM wp, LPARAM lp, LRESULT& result) const {
    automation::ComPtr<IAccessible> standard;
    if (static_cast<LONG>(lp) != OBJID_CLIENT ||
        FAILED(::CreateStdAccessibleObject(inner, OBJID_CLIENT, kIID_IAccessible, standard.put_void())))
        return false;
    std::vector<std::wstring> texts;
    for (const Item& i : items_) texts.push_back(i.text);
    const int chosen = madeWindow() ? static_cast<int>(::SendMessageW(madeWindow(), CB_GETCURSEL, 0, 0)) : selected_;
    automation::ComPtr<IAccessible> own = automation::ComPtr<IAccessible>::attach(
        new ComboAccessible(standard, accessibleName(), std::move(texts), chosen < static_cast<int>(items_.size()) ? chosen : -1));
    result = ::LresultFromObject(kIID_IAccessible, wp, own.get());
    return true;
}

// Raises 364 when the form is not loaded, without making a window not made yet.
void ImageCombo::mustBeLoaded() const {
    if (!exists()) live();
}

void ImageCombo::setImageList(HIMAGELIST images) {
    mustBeLoaded();
    images_ = images;
    if (HWND h = madeWindow()) ::SendMessageW(h, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void ImageCombo::clear() {
    mustBeLoaded();
    items_.clear();
    selected_ = -1;
    if (HWND h = madeWindow()) ::SendMessageW(h, CB_RESETCONTENT, 0, 0);
}

int ImageCombo::add(const std::wstring& text, int picture, int indent, std::wstring key, std::wstring tag) {
    mustBeLoaded();
    items_.push_back({text, picture, indent, std::move(key), std::move(tag)});
    if (madeWindow()) insert(items_.back());
    return static_cast<int>(items_.size()) - 1;
}

void ImageCombo::insert(const Item& item) const {
    COMBOBOXEXITEMW row{CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT};
    row.iItem = -1;  // at the end
    row.pszText = const_cast<wchar_t*>(item.text.c_str());
    row.iImage = row.iSelectedImage = item.picture - 1;
    row.iIndent = item.indent;
    ::SendMessageW(madeWindow(), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
}

int ImageCombo::find(const std::wstring& key) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].key == key) return static_cast<int>(i);
    return -1;
}

int ImageCombo::count() const { return static_cast<int>(items_.size()); }

int ImageCombo::selected() const {
    if (HWND h = madeWindow()) return static_cast<int>(::SendMessageW(h, CB_GETCURSEL, 0, 0));
    mustBeLoaded();
    return selected_;
}

void ImageCombo::select(int index) {
    mustBeLoaded();
    selected_ = index >= 0 && index < count() ? index : -1;
    if (HWND h = madeWindow()) {
        ::SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // The value a screen reader reads is on the combo inside.
        if (HWND inner = reinterpret_cast<HWND>(::SendMessageW(h, CBEM_GETCOMBOCONTROL, 0, 0)))
            ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, inner, OBJID_CLIENT, CHILDID_SELF);
    }
}

void ImageCombo::created() {
    answersInside(reinterpret_cast<HWND>(::SendMessageW(madeWindow(), CBEM_GETCOMBOCONTROL, 0, 0)));
    if (images_) ::SendMessageW(madeWindow(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    for (const Item& item : items_) insert(item);
    if (selected_ >= 0) ::SendMessageW(madeWindow(), CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
}

void ImageCombo::destroyed() {
    items_.clear();
    selected_ = -1;
    images_ = nullptr;
}

void ImageCombo::command(WORD code) {
    if (code == CBN_SELCHANGE && onClick) onClick();
}

}  // namespace qb::ui
