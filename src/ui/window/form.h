#pragma once
// A top-level window of the component with an explicit life: made with its controls by load(),
// shown modally, hidden, unloaded. Its controls are typed members of the form or of its pages,
// placed by layout tables of twips; nothing here loads a form behind the caller's back.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/handles.h"
#include "support/error_report.h"
#include "ui/controls/control.h"
#include "ui/controls/tabs.h"
#include "ui/look/skin.h"
#include "ui/window/tool_tips.h"

namespace qb::ui {

struct FormSpec {
    std::wstring name;
    std::wstring caption;
    int clientWidth, clientHeight;  // twips
    COLORREF backColor;
    // Esc, with no cancel button, acts as the close box.
    bool escapeCloses = false;
};

// One line of a layout table: a control and where it goes.
struct LayoutEntry {
    Control& control;
    Placement placement;
};
using LayoutTable = std::vector<LayoutEntry>;

// The message that runs the calls of Form::post.
inline constexpr UINT kRunPostedMessage = WM_APP + 0x52;

// The same lines placed on one tab page.
LayoutTable onPage(int page, LayoutTable entries);
// The same lines moved down by `dy` twips (a page laid out for tabs higher up).
LayoutTable movedDown(int dy, LayoutTable entries);
// The same lines with `control` placed elsewhere (another page: 0 for outside the tabs).
LayoutTable withPlace(LayoutTable entries, const Control& control, Bounds bounds, int page);

class Form {
public:
    explicit Form(FormSpec design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::wstring& name() const { return design_.name; }
    std::wstring caption() const;
    void setCaption(const std::wstring& text);
    bool isLoaded() const { return hwnd_ != nullptr; }
    // The window handle, or nullptr while the form is not loaded.
    HWND handle() const { return hwnd_; }
    bool isVisible() const;
    bool isShownModally() const { return modal_ != nullptr; }
    // Loading or shown modally: code of the form is on the stack (its load step may let messages
    // run, and so may its modal loop); whoever owns the form must not delete it now.
    bool isInUse() const { return loading_ || modal_ != nullptr; }
    // "frmName.procedure()"
    std::wstring qualifiedName(std::wstring_view procedure) const;
    // The controls in layout order (a label goes just before the control it names).
    const std::vector<Control*>& controls() const { return order_; }
    // The controls Tab goes through now, in reading order: shown, enabled, one per set of option
    // buttons.
    std::vector<Control*> tabOrder() const;
    // The tab control that pages the form, if it has one.
    TabStrip* pages() const { return pages_; }
    Dpi dpi() const { return dpi_; }
    // The form's background as shown: its own colour, or the system's under high contrast.
    COLORREF backColor() const;

    // Makes the window and its controls and runs the load step, unless the form is loaded. All or
    // nothing: when a step fails the window is gone again, the failure goes to the caller, and a
    // later load starts afresh.
    void load();
    // Loads the form and shows it modally without an owner; returns when it is hidden or unloaded.
    // Raises 400 when the form is already shown modally.
    void showModal();
    // Ends the modal show; the windows the show disabled are enabled first, so that activation
    // goes back to the host's window.
    void hide();
    void unload();

    // The keys a dialog box handles, as Windows users expect them: Tab and Shift+Tab in layout
    // order, Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp between the tab pages. The modal
    // loop offers every message here first; true when it was taken.
    bool translateKey(const MSG& msg);

    // An event handler of this form (or of a page placed on it): failures are reported under
    // frmName.handler(), in a box titled with the form's caption.
    template <class F>
    bool event(std::wstring_view handler, F&& body) {
        return !eventFailure(handler, std::forward<F>(body)).has_value();
    }
    // The same, giving the failure that was reported.
    template <class F>
    std::optional<automation::ComError> eventFailure(std::wstring_view handler, F&& body) {
        return support::reportFailure(hwnd_, caption(), qualifiedName(handler), std::forward<F>(body));
    }

    // Runs `call` once the handler now running has returned and the messages queued before have
    // been handled; dropped when the window goes first.
    void post(std::function<void()> call);

    // For the form's controls.
    void relayToToolTip(HWND control, UINT msg, WPARAM wp, LPARAM lp);
    bool accessibleObject(const Control& control, WPARAM wp, LPARAM lp, LRESULT& result);
    // The same for a window inside the control (a hosted control's own focusable window).
    bool accessibleObject(HWND inside, const Control& control, WPARAM wp, LPARAM lp, LRESULT& result);
    void drawPanel(const DRAWITEMSTRUCT& item, const std::wstring& text);
    void fillBackground(HDC dc, const RECT& area);
    // How many windows of forms exist in the process.
    static int liveWindows();
    // A failure no handler took is logged under `where` and goes no further.
    static void swallowed(std::wstring_view where) noexcept;
    // A control that is going before the window: no message reaches it any more.
    void forget(const Control& control);
    // Makes the window of a control of a tab page not shown yet, which is asked for.
    void makeLater(const Control& control);

protected:
    // Adds controls to the form (in the constructor of the form or of its pages).
    void place(LayoutTable entries);
    // The load step.
    virtual void formLoad() {}
    // The window is going (unloaded, closed or destroyed with the form).
    virtual void formUnload() {}
    // The window became the active one (also when it is first shown).
    virtual void activated() {}
    // The window moved to a monitor of another DPI and is laid out for it.
    virtual void dpiChanged() {}
    // A page of the form's tab control was chosen (a click, the keyboard, or select) and shows.
    virtual void pageShown(int /*page*/) {}
    // Any other message to the form; return true when handled (with `result` set).
    virtual bool message(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }

    Skin Skin1;

private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void create();
    // The framed window's size at `dpi`; the DPI at which it fits the work area.
    RECT frameAt(Dpi dpi) const;
    Dpi dpiToFit(Dpi dpi, const RECT& work) const;
    void createControls();
    void makeWindow(size_t index, bool later);
    void makePage(int page);
    // A screen reader walking the window finds every page's controls, as in a property sheet
    // whose pages are all made: those of pages not shown yet are made now, hidden.
    void makeEveryPage();
    int firstPage() const;
    void giveFont(Control& c, HFONT font, const LOGFONTW& form, std::vector<UniqueFont>& faces, BOOL repaint);
    void windowCreated(HWND h);
    void destroyed();
    void layOut();
    void takeLook(const SkinLook& look);
    void makeBrushes();
    // After WM_SYSCOLORCHANGE or a change of the high-contrast setting: everything repainted.
    void colorsChanged();
    void makeFont();
    void showPage(int page);
    Control* controlOf(HWND h) const;
    void pressDefault(bool cancel);
    void moveFocus(bool backwards);
    void enableOwners();

    FormSpec design_;
    std::vector<Control*> order_;
    TabStrip* pages_ = nullptr;
    UINT nextId_ = 0;
    HWND hwnd_ = nullptr;
    bool loading_ = false;
    Dpi dpi_;
    // Which control a notification comes from: a tree of 50,000 nodes sends 50,000 of them
    // when it is emptied.
    std::unordered_map<HWND, Control*> byHandle_;
    SkinLook look_;
    UniqueFont font_;
    std::vector<UniqueFont> faces_;
    int fontDpi_ = 0;
    UniqueBrush backBrush_, panelBrush_, editBrush_;
    ToolTips toolTips_;
    HWND focus_ = nullptr;  // the control that had the focus when the form was last deactivated
    struct ModalShow;
    ModalShow* modal_ = nullptr;
    std::vector<std::function<void()>> posted_;
};

// The IID of IAccessible.
extern const IID kIID_IAccessible;

// For the module's unload: forms register one window class per process.
void unregisterFormClass();

}  // namespace qb::ui
