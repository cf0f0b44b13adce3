#pragma once
// The Files page: the attachments list and its buttons, shown unavailable until the attachment
// handlers are built.
#include "ui/controls/list_view.h"
#include "windows/pages/relation_context.h"

namespace qb::windows {

class FilesPage {
public:
    ui::Label lblFiles;
    ui::TaggedList lstFileRel;
    ui::Button cmdAddAttach, cmdDelAttach, cmdOpen;
    ui::LayoutTable layout(int page);
    // Once the window exists: the columns (the second one hidden).
    void prepare(ui::Dpi dpi);
};

}  // namespace qb::windows
