#include "ui/controls/image_combo.h"

namespace qb::ui {

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
    if (HWND h = madeWindow()) ::SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ImageCombo::created() {
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
