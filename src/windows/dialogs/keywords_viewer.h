#pragma once
// frmKeyWords: the keywords related to one item within one keyword view, read-only. The opener
// sets the item record and the view, then shows the window modally.
#include "automation/object.h"
#include "base/handles.h"
#include "ui/controls/list_view.h"
#include "ui/window/form.h"

namespace qb::windows {

class frmKeyWords final : public ui::Form {
public:
    frmKeyWords();
    automation::Object oFileSelected;
    long intSelectedViewId = 0;

    ui::Panel SSPanel1;
    ui::TaggedList lstKeyRel;
    ui::Button cmdOk;

    // Fills the list again from the suite; also the refresh.
    void LoadKWRelationed();
    void cmdOk_Click();

protected:
    void formLoad() override;

private:
    UniqueImageList imgKeyWords_;
};

}  // namespace qb::windows
