#pragma once
// Typed controls: each control of a form is a member of the form (or of one of its pages) of the
// type that fits it, so that a misspelt control is a build error. A control is placed on a form
// by one line of the form's layout table (ui/window/layout_table.h); its window exists while the
// form is loaded (for a control of a tab page, from when the page first shows or the window is
// first asked for). Reading or writing a control of a form that is not loaded raises 364
// "Object was unloaded": it never loads the form again by the back door.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>
#include <string_view>

#include "ui/layout/twips.h"

namespace qb::ui {

class Form;

// Where a control sits and how it takes part in its form, as a layout table gives it.
struct Placement {
    std::wstring name;      // the control's name, as error sources and tests know it
    std::wstring caption;   // its text when made
    Bounds bounds;          // twips in the form's client area
    int page = 0;           // the tab page (from 1) the control sits on; 0: outside the tabs
    std::wstring toolTip;   // shown while the pointer rests on it; empty: none
    // What a screen reader calls the control; empty: the text of the label placed just before it
    // (or its own caption, for buttons and check boxes).
    std::wstring accessibleName;
};

class Control {
public:
    Control() = default;
    // A control that goes before its window (a form's members go before the form destroys its
    // window) hands the window back to its own procedure and leaves the form's routing.
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The pop-up menu is asked for at a point of the screen: under the pointer (right button) or,
    // from the keyboard (Shift+F10, the menu key), below the selected item.
    std::function<void(POINT)> onContextMenu;

    // Keeps a control of a tab page hidden when its page is shown (a busy panel between uses;
    // hidden at once), or lets it show with its page again.
    void keepHidden(bool hidden);

    const std::wstring& name() const { return placement_.name; }
    const Placement& placement() const { return placement_; }
    // The window, or nullptr while the form is not loaded. A control of a tab page that has not
    // been shown yet gets its window here, the first time it is asked for.
    HWND handle() const { return hwnd_ || !deferred_ ? hwnd_ : madeNow(); }
    // Whether the control is there: its form is loaded.
    bool exists() const { return hwnd_ != nullptr || deferred_; }

    std::wstring text() const;
    void setText(std::wstring_view text);
    // Text from the suite's data on a label or a button: shown as stored, an "&" in it is no
    // access key.
    void showData(std::wstring_view text);
    // A control whose window is not made yet keeps the state and is made with it.
    bool enabled() const;
    void setEnabled(bool enabled);
    bool visible() const;
    // Paints the control again (a control not made yet has nothing to paint).
    void refresh();
    void setFocus();
    // The name a screen reader gives the control.
    const std::wstring& accessibleName() const { return accessibleName_; }
    // A window inside the control that takes the focus (the combo inside a ComboBoxEx, a hosted
    // control's own window) answers screen readers for the control: answerInside is asked.
    void answersInside(HWND inside) const;
    // WM_GETOBJECT to such a window; true with `result` set when answered. By default the
    // system's object for it, named and given its role as the form names the control.
    virtual bool answerInside(HWND inside, WPARAM wp, LPARAM lp, LRESULT& result) const;

    // A face of its own instead of the form's (at the form's size); empty: the form's.
    virtual std::wstring_view fontFace() const { return {}; }

    // Creation, for the form.
    virtual const wchar_t* windowClass() const = 0;
    virtual DWORD style() const = 0;
    virtual DWORD exStyle() const { return 0; }
    // Takes the focus with Tab.
    virtual bool isTabStop() const { return (style() & WS_TABSTOP) != 0; }

protected:
    // The window; raises 364 when the form is not loaded.
    HWND live() const;
    // The window if it is made (a control of a page not shown yet may have none), else nullptr.
    HWND madeWindow() const { return hwnd_; }
    // The form is loaded and the window is not made yet: a control that can keeps its state itself
    // until then.
    bool waitsForWindow() const { return deferred_; }
    Form& form() const { return *form_; }

    // Runs once the window exists (columns, tab captions...), and when it is gone.
    virtual void created() {}
    virtual void destroyed() {}
    // WM_COMMAND with this control as its sender.
    virtual void command(WORD /*code*/) {}
    // WM_NOTIFY from this control; the answer goes back to it.
    virtual LRESULT notify(NMHDR* /*header*/) { return 0; }
    // WM_DRAWITEM for an owner-drawn control.
    virtual void drawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // WM_CONTEXTMENU: `at` in screen co-ordinates, or {-1, -1} from the keyboard. True when the
    // control has a menu.
    bool contextMenu(POINT at);
    // The selected item's rectangle in client co-ordinates, for a menu asked for from the keyboard.
    virtual bool selectedItemRect(RECT& /*item*/) const { return false; }
    // A typed character; set it to 0 to swallow it.
    virtual void keyPress(short& /*keyAscii*/) {}
    // A key going down, before the control acts on it.
    virtual void keyDown(WORD /*key*/) {}
    // The pointer moved over the control.
    virtual void pointerMoved() {}
    // After the control painted itself.
    virtual void painted() {}
    // Its background, when it paints one of its own; true when painted.
    virtual bool eraseBackground(HDC /*dc*/) { return false; }
    // A screen reader's object of the control's own, built on the system's object for its
    // window (a new reference); nullptr: the system's, named as the form names the control.
    virtual IAccessible* makeAccessible(IAccessible* /*standard*/) const { return nullptr; }
    // What the control shows now, said after its accessible name ("Keyword view: Projects");
    // empty: nothing more.
    virtual std::wstring spokenValue() const { return {}; }
    // Enter goes to the control rather than to the form's default button.
    virtual bool takesEnter() const { return false; }
    // The system's colours or the high-contrast setting changed: colours of its own shown again.
    virtual void colorsChanged() {}

private:
    friend class Form;
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM);
    void attach(Form& form, HWND window);
    void detach();
    HWND madeNow() const;

    Placement placement_;
    std::wstring accessibleName_;
    Form* form_ = nullptr;
    HWND hwnd_ = nullptr;
    bool deferred_ = false;  // the form is loaded and will make the window when it is needed
    bool keptHidden_ = false;
    bool disabledWhenMade_ = false;
    WNDPROC original_ = nullptr;
};

// ---- the simple kinds -------------------------------------------------------------------------

// An "&" in its caption marks its access key: Alt and that letter move to the control after it.
class Label final : public Control {
public:
    const wchar_t* windowClass() const override { return L"STATIC"; }
    DWORD style() const override { return WS_CHILD | SS_LEFT; }
};

// A 3-D panel whose caption is centred on the skin's panel colour.
class Panel final : public Control {
public:
    const wchar_t* windowClass() const override { return L"STATIC"; }
    DWORD style() const override { return WS_CHILD | SS_OWNERDRAW; }

protected:
    void drawItem(const DRAWITEMSTRUCT& item) override;
};

class TextBox : public Control {
public:
    std::function<void()> onChange;
    std::function<void(short&)> onKeyPress;
    // A key pressed in the box, before it takes effect (virtual-key code, Shift/Ctrl/Alt as 1/2/4).
    std::function<void(WORD, int)> onKeyDown;
    // Set before the form loads: the face the box shows its text in.
    std::wstring face;
    std::wstring_view fontFace() const override { return face; }
    // The colour of the text; CLR_DEFAULT: the system's.
    COLORREF foreColor() const { return foreColor_; }
    void setForeColor(COLORREF color);
    // A read-only box shows its text to read, select and copy, and takes no typing.
    bool readOnly() const;
    void setReadOnly(bool readOnly);
    const wchar_t* windowClass() const override { return L"EDIT"; }
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL; }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }

protected:
    void created() override;
    void command(WORD code) override;
    void keyPress(short& keyAscii) override;
    void keyDown(WORD key) override;
    // A box whose handler reads the keys sees Enter as a key press; in any other one-line box
    // Enter is the form's (its default button), as in a dialog box.
    bool takesEnter() const override { return static_cast<bool>(onKeyPress); }

private:
    COLORREF foreColor_ = CLR_DEFAULT;
};

// Enter makes a new line, as in any multi-line box; Esc and Tab stay the form's.
class MultiLineTextBox final : public TextBox {
public:
    DWORD style() const override {
        return WS_CHILD | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
    }

protected:
    bool takesEnter() const override { return true; }
};

// An "&" in its caption marks its access key (Alt and that letter press it).
class Button final : public Control {
public:
    std::function<void()> onClick;
    // Enter anywhere on the form presses the default button, Esc the cancel button.
    bool isDefault = false, isCancel = false;
    const wchar_t* windowClass() const override { return L"BUTTON"; }
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON); }
    // Presses the button as a click would (when it is enabled).
    void press();
    // A button named apart from its caption (the view button) says its caption after the name.
    std::wstring spokenValue() const override;

protected:
    void command(WORD code) override;
};

class CheckBox final : public Control {
public:
    std::function<void()> onClick;
    const wchar_t* windowClass() const override { return L"BUTTON"; }
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX; }
    bool checked() const;
    void setChecked(bool on);

protected:
    void command(WORD code) override;
};

// One of a set of option buttons: choosing one (a click, Space, an arrow key within the set, or
// `choose`) clears the others of its set, which the form gives it. The set is one group for the
// keyboard: its buttons stand one after the other in the layout.
class OptionButton final : public Control {
public:
    std::function<void()> onClick;
    const wchar_t* windowClass() const override { return L"BUTTON"; }
    DWORD style() const override {
        return WS_CHILD | WS_TABSTOP | BS_AUTORADIOBUTTON | (!group_.empty() && group_.front() == this ? WS_GROUP : 0);
    }
    // The buttons of one set (each button of the set is given the same list), first to last.
    void setGroup(std::vector<OptionButton*> group) { group_ = std::move(group); }
    const std::vector<OptionButton*>& group() const { return group_; }
    bool value() const;
    // Selects this button and clears the others of its set, as a click does (without onClick).
    void choose();

protected:
    void command(WORD code) override;

private:
    std::vector<OptionButton*> group_;
};

// A frame drawn round controls that belong together (they stay the form's own children, placed
// before the frame so that they lie above it). Its inside shows the form's background.
class Frame final : public Control {
public:
    const wchar_t* windowClass() const override { return L"BUTTON"; }
    DWORD style() const override { return WS_CHILD | BS_GROUPBOX | WS_CLIPSIBLINGS; }
    bool isTabStop() const override { return false; }

protected:
    bool eraseBackground(HDC dc) override;
};

// A list box or a drop-down list: items with a number attached, selection (-1 = none).
class ItemList : public Control {
public:
    std::function<void()> onDoubleClick;
    std::function<void()> onSelectionChange;
    void clear();
    int add(std::wstring_view text, long data = 0);
    int count() const;
    std::wstring itemText(int index) const;
    long itemData(int index) const;
    int selected() const;
    void select(int index);

protected:
    explicit ItemList(bool combo) : combo_(combo) {}
    void command(WORD code) override;

private:
    LRESULT send(UINT listMessage, UINT comboMessage, WPARAM wp = 0, LPARAM lp = 0) const;
    bool combo_;
};

class ListBox final : public ItemList {
public:
    ListBox() : ItemList(false) {}
    const wchar_t* windowClass() const override { return L"LISTBOX"; }
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT; }
    DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
};

class ComboBox final : public ItemList {
public:
    ComboBox() : ItemList(true) {}
    const wchar_t* windowClass() const override { return L"COMBOBOX"; }
    DWORD style() const override { return WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; }
};

// Plays an AVI clip.
class Animation final : public Control {
public:
    const wchar_t* windowClass() const override;
    DWORD style() const override;
    // Opens a clip file; false when it cannot be played.
    bool open(const std::wstring& path);
    void play();
    void stop();
};

// A box the form's code paints (onDraw).
class Picture final : public Control {
public:
    std::function<void(HDC, const RECT&)> onDraw;
    // What the picture shows, in words, for screen readers ("Mail", "link").
    std::wstring spoken;
    std::wstring spokenValue() const override { return spoken; }
    const wchar_t* windowClass() const override { return L"STATIC"; }
    DWORD style() const override { return WS_CHILD | SS_OWNERDRAW; }
    void repaint();

protected:
    void drawItem(const DRAWITEMSTRUCT& item) override;
};

}  // namespace qb::ui
