#include "ui/controls/image_combo.h"

#include <algorithm>

namespace qb::ui {

void ImageCombo::setImageList(HIMAGELIST images) { ::SendMessageW(live(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)); }

void ImageCombo::clear() {
    ::SendMessageW(live(), CB_RESETCONTENT, 0, 0);
    items_.clear();
}

int ImageCombo::add(const std::wstring& text, int picture, int indent, std::wstring key, std::wstring tag) {
    COMBOBOXEXITEMW item{CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT};
    item.iItem = -1;  // at the end
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = item.iSelectedImage = picture - 1;
    item.iIndent = indent;
    const auto at = static_cast<int>(::SendMessageW(live(), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at >= 0) items_.insert(items_.begin() + std::min<size_t>(static_cast<size_t>(at), items_.size()), {std::move(key), std::move(tag)});
    return at;
}

int ImageCombo::itemIndent(int index) const {
    COMBOBOXEXITEMW item{CBEIF_INDENT};
    item.iItem = index;
    if (!::SendMessageW(live(), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.iIndent;
}

int ImageCombo::find(const std::wstring& key) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].key == key) return static_cast<int>(i);
    return -1;
}

int ImageCombo::count() const { return static_cast<int>(::SendMessageW(live(), CB_GETCOUNT, 0, 0)); }

int ImageCombo::selected() const { return static_cast<int>(::SendMessageW(live(), CB_GETCURSEL, 0, 0)); }

void ImageCombo::select(int index) { ::SendMessageW(live(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::wstring ImageCombo::itemText(int index) const {
    wchar_t text[512] = {};
    COMBOBOXEXITEMW item{CBEIF_TEXT};
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 512;
    if (!::SendMessageW(live(), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
    return text;
}

int ImageCombo::itemPicture(int index) const {
    COMBOBOXEXITEMW item{CBEIF_IMAGE};
    item.iItem = index;
    if (!::SendMessageW(live(), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.iImage + 1;
}

void ImageCombo::command(WORD code) {
    if (code == CBN_SELCHANGE && onClick) onClick();
    else if (code == CBN_EDITCHANGE && onChange) onChange();
}

}  // namespace qb::ui
