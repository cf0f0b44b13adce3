#include "ui/controls/image_combo.h"

namespace qb::ui {

void ImageCombo::setImageList(HIMAGELIST images) { ::SendMessageW(live(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)); }

void ImageCombo::clear() { ::SendMessageW(live(), CB_RESETCONTENT, 0, 0); }

int ImageCombo::add(const std::wstring& text, int picture) {
    COMBOBOXEXITEMW item{CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE};
    item.iItem = -1;  // at the end
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = item.iSelectedImage = picture - 1;
    return static_cast<int>(::SendMessageW(live(), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
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
}

}  // namespace qb::ui
