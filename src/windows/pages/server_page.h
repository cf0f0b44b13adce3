#pragma once
// The Server page: the upload button, the remove-local check box and the busy panel, shown
// unavailable until the upload is built.
#include "windows/pages/relation_context.h"

namespace qb::windows {

class ServerPage {
public:
    ui::Label lblUpload;
    ui::Button cmdUpload;
    ui::CheckBox chkRemove;
    ui::Panel sspSending;
    ui::Animation Animation1;
    ui::LayoutTable layout(int page);
    void prepare();
};

}  // namespace qb::windows
