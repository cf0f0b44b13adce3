#include "windows/shared/memo_themes.h"

#include "contract/suite.h"
#include "support/services.h"
#include "ui/look/pictures.h"

namespace qb::windows {

UniqueImageList themePictures(int size) { return ui::notePictures(size, kThemeColors); }

void fillThemes(ui::ImageCombo& combo) {
    automation::MemberIds ids;
    support::createObject(contract::progid::Theme).callObject(L"GetAll").forEach([&](const automation::Variant& item) {
        automation::Object theme = automation::Object::from(item);
        const long id = theme.get(ids, L"ThemeId").toLong();
        if (id >= 1 && id <= 4) combo.add(theme.get(ids, L"ThemeName").toText(), static_cast<int>(id));
    });
    combo.select(0);
}

}  // namespace qb::windows
