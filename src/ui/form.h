#pragma once
// A window built from a layout given as data, with the life of a form of the component:
// loaded at first use of its controls, shown modally, hidden, unloaded.
#include <windows.h>

#include <map>
#include <unordered_map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/error_report.h"
#include "ui/skin.h"

namespace qb::ui {

enum class ControlKind {
    Panel, Label, TextBox, MultiLineTextBox, Button, CheckBox, ListBox, ComboBox, Animation,
    Picture,   // an owner-drawn box the form paints (draw())
    Tab,       // caption: the tab captions separated by "|"
    Tree,      // see ui/tree.h
    ListView,  // report view; see ui/list_view.h
};

// Positions and sizes in twips.
struct ControlSpec {
    std::wstring name;
    ControlKind kind;
    std::wstring caption;
    int left, top, width, height;
    bool isDefault = false;  // a button pressed by Enter
    bool isCancel = false;   // a button pressed by Esc
    int page = 0;            // the tab page (from 1) the control sits on; 0: outside the tabs
    std::wstring toolTip;    // shown while the pointer rests on the control; empty: none
};

// The same controls placed on one tab page.
std::vector<ControlSpec> onPage(int page, std::vector<ControlSpec> controls);
// The same control with a tool tip.
ControlSpec withToolTip(ControlSpec control, std::wstring tip);

struct FormSpec {
    std::wstring name;
    std::wstring caption;
    int clientWidth, clientHeight;  // twips
    COLORREF backColor;
    std::vector<ControlSpec> controls;  // in tab order
};

class Form {
public:
    explicit Form(FormSpec layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::wstring& name() const { return spec_.name; }
    std::wstring caption() const;
    bool isLoaded() const { return hwnd_ != nullptr; }
    // The window handle if loaded, without loading.
    HWND handle() const { return hwnd_; }
    bool isVisible() const;

    // The window handle; loads the form on first use.
    HWND hwnd();
    // Loads the form (creates the window and runs Form_Load) unless it is loaded.
    void load();
    // Shows the form modally without an owner; returns when it was hidden or unloaded.
    void showModal();
    void hide();
    void unload();

    // Controls by name (load the form on first use).
    HWND control(std::wstring_view name);
    std::wstring text(std::wstring_view control);
    void setText(std::wstring_view control, std::wstring_view text);
    void setEnabled(std::wstring_view control, bool enabled);

    // List and combo boxes: items with a number attached, selection (-1 = none).
    void clearItems(std::wstring_view control);
    int addItem(std::wstring_view control, std::wstring_view text, long data = 0);
    int itemCount(std::wstring_view control);
    std::wstring itemText(std::wstring_view control, int index);
    long itemData(std::wstring_view control, int index);
    int selectedIndex(std::wstring_view control);
    void select(std::wstring_view control, int index);

    // Tabs (from 1): select one, keep one from being selected.
    void selectTab(std::wstring_view tab, int index);
    int selectedTab(std::wstring_view tab);
    void setTabEnabled(std::wstring_view tab, int index, bool enabled);
    bool tabEnabled(int index) const { return !disabledTabs_.contains(index); }

    // "frmName.procedure()"
    std::wstring qualifiedName(std::wstring_view procedure) const;

protected:
    virtual void formLoad() {}
    virtual void click(std::wstring_view /*control*/) {}
    virtual void keyPress(std::wstring_view /*control*/, short& /*keyAscii*/) {}
    virtual void doubleClick(std::wstring_view /*control*/) {}
    virtual void selectionChanged(std::wstring_view /*control*/) {}
    // The text of a text box changed (typed or set).
    virtual void textChanged(std::wstring_view /*control*/) {}
    // The window became the active one (also when it is first shown).
    virtual void activated() {}
    // WM_NOTIFY from a control (tree, list view...); the answer goes back to the control.
    virtual LRESULT notify(std::wstring_view /*control*/, NMHDR* /*header*/) { return 0; }
    // Paints an owner-drawn Picture control.
    virtual void draw(std::wstring_view /*control*/, HDC /*dc*/, const RECT& /*area*/) {}
    // Any other message to the form; return true when handled (with `result` set).
    virtual bool message(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }

    // An event handler of this form: failures are reported under frmName.handler().
    template <class F>
    bool event(std::wstring_view handler, F&& body) {
        return support::handleEvent(hwnd_, caption(), qualifiedName(handler), std::forward<F>(body));
    }
    Skin Skin1;

private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK controlProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void createControls();
    void takeLook(const SkinLook& look);
    void addToolTips();
    void showPage(int page);
    std::wstring controlName(HWND h) const;
    const ControlSpec* controlSpec(HWND h) const;
    const ControlSpec* controlSpec(std::wstring_view control) const;
    LRESULT send(std::wstring_view control, UINT listMessage, UINT comboMessage, WPARAM wp = 0, LPARAM lp = 0);
    void wakeModalLoop() const;

    FormSpec spec_;
    HWND hwnd_ = nullptr;
    bool loading_ = false;
    std::map<std::wstring, HWND, std::less<>> controls_;
    // Which control a notification comes from: a tree of 50,000 nodes sends 50,000 of them
    // when it is emptied.
    std::unordered_map<HWND, const ControlSpec*> byHandle_;
    SkinLook look_;
    HFONT font_ = nullptr;
    HBRUSH backBrush_ = nullptr, panelBrush_ = nullptr, editBrush_ = nullptr;
    std::set<int> disabledTabs_;
    HWND toolTips_ = nullptr;  // one tool tip window for the controls that have a tip
    struct ControlHook {
        Form* form;
        WNDPROC original;
    };
    std::vector<std::unique_ptr<ControlHook>> hooks_;
    int page_ = 1;
};

// For the module's unload: forms register one window class per process.
void unregisterFormClass();

}  // namespace qb::ui
