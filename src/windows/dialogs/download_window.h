#pragma once
// frmDownload: a progress window that fetches strOrg into strDst when it is first activated,
// playing an animation meanwhile. The opener reads blnResult after the modal show.
#include <string>

#include "ui/window/form.h"

namespace qb::windows {

class frmDownload final : public ui::Form {
public:
    frmDownload();
    std::wstring strOrg, strDst, strName;
    bool blnActive = false;
    bool blnResult = false;

    ui::Panel SSPanel1;
    ui::Animation Animation1;
    ui::Button cmdCancel;

    void cmdCancel_Click();

protected:
    void formLoad() override;
    void activated() override;
};

}  // namespace qb::windows
