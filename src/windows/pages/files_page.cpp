#include "windows/pages/files_page.h"

namespace qb::windows {

ui::LayoutTable FilesPage::layout(int page) {
    return ui::onPage(page, {{lblFiles, {L"lblFiles", L"File Relations", {240, 480, 7500, 240}}},
                             {lstFileRel, {L"lstFileRel", L"", {240, 750, 7500, 4140}}},
                             {cmdAddAttach, {L"cmdAddAttach", L"Add", {240, 5040, 1320, 375}}},
                             {cmdDelAttach, {L"cmdDelAttach", L"Remove", {1680, 5040, 1320, 375}}},
                             {cmdOpen, {L"cmdOpen", L"Open", {6420, 5040, 1320, 375}}}});
}

void FilesPage::prepare(ui::Dpi dpi) {
    RECT rc;
    ::GetClientRect(lstFileRel.handle(), &rc);
    lstFileRel.addColumn(L"File", rc.right - ui::twipsToPixels(300, dpi.x));
    lstFileRel.addColumn(L"Kind", 0);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lstFileRel, &cmdAddAttach, &cmdDelAttach, &cmdOpen})
        c->setEnabled(false);
}

}  // namespace qb::windows
