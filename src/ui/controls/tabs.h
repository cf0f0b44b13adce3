#pragma once
// The tab control of a form with pages: which page shows, which pages cannot be chosen.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <set>

#include "ui/controls/control.h"

namespace qb::ui {

// Its caption lists the tab captions separated by "|". Pages count from 1.
class TabStrip final : public Control {
public:
    // The form shows the controls of the page chosen.
    std::function<void(int)> onPageShown;
    // The page shown when the window is made (set before the form loads): only its controls are
    // made with the window.
    int opensOn = 1;

    const wchar_t* windowClass() const override { return WC_TABCONTROLW; }
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS; }

    // Shows a page, as a click on its tab would; an unavailable page is not chosen.
    void select(int page);
    int selected() const { return page_; }
    int pageCount() const;
    // Whether a page can be chosen; kept while the form is not loaded too.
    void setPageEnabled(int page, bool enabled);
    bool pageEnabled(int page) const { return !disabled_.contains(page); }
    // The next available page in a direction (+1 or -1), round the end, as Ctrl+Tab goes.
    void step(int direction);

protected:
    void created() override;
    LRESULT notify(NMHDR* header) override;
    // The pages' area takes the form's colour, as the controls on it do.
    void painted() override;

private:
    void show(int page);
    std::set<int> disabled_;
    int page_ = 1;
};

}  // namespace qb::ui
