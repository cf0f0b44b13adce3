#pragma once
// frmCopyProgress: shown while the suite's downloader makes a local copy. It says what is being
// copied, plays the download clip, and lets the user give up with Cancel; the relation window it
// belongs to takes no input meanwhile.
#include <string>

#include "ui/window/form.h"
#include "ui/window/shell.h"

namespace qb::windows {

class frmCopyProgress final : public ui::Form {
public:
    frmCopyProgress();

    ui::Label lblCopying;
    ui::Animation Animation1;
    ui::Button cmdCancel;

    // Waits until `program` ends, this window shown over `owner` meanwhile, saying that `what` is
    // being copied. False when the user cancelled first (the program still runs then).
    static bool waitFor(HWND owner, ui::StartedProgram& program, const std::wstring& what);

protected:
    void formLoad() override;

private:
    bool cancelled_ = false;
};

}  // namespace qb::windows
