#pragma once
// frmDownload: a progress window that fetches strOrg into strDst when it is first activated,
// playing an animation meanwhile. The opener reads blnResult after the modal show.
#include <string>

#include "ui/form.h"

namespace qb::windows {

class frmDownload final : public ui::Form {
public:
    frmDownload();
    std::wstring strOrg, strDst, strName;
    bool blnActive = false;
    bool blnResult = false;

    void cmdCancel_Click();

protected:
    void formLoad() override;
    void activated() override;
    void click(std::wstring_view control) override;
};

}  // namespace qb::windows
