#include "windows/pages/relate_with.h"

#include <algorithm>

#include "ui/look/pictures.h"

namespace qb::windows {

RelateWithFrame::RelateWithFrame(RelationContext context, RelateWithNames names) : ctx_(context), names_(names) {
    chkLink.onClick = [this] { chkLink_Click(); };
    chkLocalCopyDP.onClick = [this] { chkLocalCopyDP_Click(); };
    chkLocalCopyOP.onClick = [this] { chkLocalCopyOP_Click(); };
    for (ui::OptionButton* o : {&chkLink, &chkLocalCopyDP, &chkLocalCopyOP}) o->setGroup({&chkLink, &chkLocalCopyDP, &chkLocalCopyOP});
    Picture2.onDraw = [this](HDC dc, const RECT& area) { draw(dc, area); };
}

ui::LayoutTable RelateWithFrame::layout() {
    return {{SSPanel5, {L"SSPanel5", L"Relate With:", {90, 6225, 5040, 285}}},
            {Picture2, {L"Picture2", L"", {240, 6600, 480, 480}, 0, {}, L"Kept as"}},
            {chkLink, {L"chkLink", names_.link, {900, 6570, 3900, 255}}},
            {chkLocalCopyDP, {L"chkLocalCopyDP", L"Local Copy in &default path", {900, 6825, 3900, 255}}},
            {chkLocalCopyOP, {L"chkLocalCopyOP", L"Local Copy in o&ther path", {900, 7080, 3900, 255}}},
            {SSFrame1, {names_.frame, L"", {60, 6180, 5100, 1200}}}};
}

void RelateWithFrame::prepare() {
    chkLink.choose();  // a window loaded again starts from the link as well
    picture_ = L"Link";
    Picture2.spoken = L"link";
}

// The three options are shown again as well (nothing hides them today; the handlers promise it).
void RelateWithFrame::show(const wchar_t* handler, const wchar_t* picture) {
    ctx_.window.event(handler, [&] {
        picture_ = picture;
        Picture2.spoken = picture_ == L"Link" ? L"link" : L"link and local copy";
        Picture2.repaint();
        for (ui::OptionButton* o : {&chkLink, &chkLocalCopyDP, &chkLocalCopyOP})
            if (o->exists()) ::ShowWindow(o->handle(), SW_SHOW);
    });
}

void RelateWithFrame::chkLink_Click() { show(L"chkLink_Click", L"Link"); }
void RelateWithFrame::chkLocalCopyDP_Click() { show(L"chkLocalCopyDP_Click", L"LocalCopy"); }
void RelateWithFrame::chkLocalCopyOP_Click() { show(L"chkLocalCopyOP_Click", L"LocalCopy"); }

void RelateWithFrame::draw(HDC dc, const RECT& area) {
    const int size = std::min(area.right - area.left, area.bottom - area.top);  // the box follows the DPI
    if (!imgPictures_ || pictureSize_ != size) imgPictures_ = ui::itemKindPictures(pictureSize_ = size);
    ImageList_Draw(imgPictures_.get(), ui::itemKindPicture(picture_), dc, area.left, area.top, ILD_TRANSPARENT);
}

}  // namespace qb::windows
