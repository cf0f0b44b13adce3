// Keys as the modal loop hands them to the dialog manager: Enter in a multi-line box, the arrow
// keys in a set of option buttons.
#include <gtest/gtest.h>

#include "fakes.h"
#include "ui/window/form.h"
#include "windows/dialogs/exist_file_server.h"

namespace qb::testing {
namespace {

// A key pressed where the focus is, through the dialog manager as the modal loop offers it, and
// what it queues (the typed character) after it.
void press(ui::Form& form, WPARAM vk) {
    MSG down{::GetFocus(), WM_KEYDOWN, vk, 1, 0, {}};
    if (!form.translateKey(down) && !::IsDialogMessageW(form.handle(), &down)) {
        ::TranslateMessage(&down);
        ::DispatchMessageW(&down);
    }
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        if (!::IsDialogMessageW(form.handle(), &m)) ::DispatchMessageW(&m);
}

void type(ui::Form& form, const std::wstring& text) {
    for (wchar_t c : text) press(form, c == L'\n' ? VK_RETURN : static_cast<WPARAM>(::VkKeyScanW(c) & 0xFF));
}

class NoteForm final : public ui::Form {
public:
    ui::MultiLineTextBox txtNote;
    ui::Button cmdOk;
    int pressed = 0;
    NoteForm() : Form({L"frmNote", L"Note", 4000, 2000, RGB(224, 224, 224)}) {
        cmdOk.isDefault = true;
        cmdOk.onClick = [this] { ++pressed; };
        place({{txtNote, {L"txtNote", L"", {60, 60, 3800, 1200}}}, {cmdOk, {L"cmdOk", L"Ok", {2700, 1500, 1100, 375}}}});
    }
};

TEST(KeyboardTest, EnterInAMultiLineBoxMakesANewLineEvenBesideADefaultButton) {
    FakeSuite fakes;
    NoteForm form;
    form.load();
    ::ShowWindow(form.handle(), SW_SHOW);
    form.txtNote.setFocus();
    type(form, L"first\nsecond");
    EXPECT_EQ(form.txtNote.text(), L"first\r\nsecond");
    EXPECT_EQ(form.pressed, 0);
    form.unload();
}

TEST(KeyboardTest, TheClashDialogsOptionsAreOneGroupWhoseArrowKeysChooseAndWhoseTextsShowWhole) {
    FakeSuite fakes;
    windows::frmExistFileServer d;
    d.load();
    ::ShowWindow(d.handle(), SW_SHOW);
    // Where each arrow key leaves the choice and the focus. Choosing Rename puts the focus in the
    // box for the new name, as a click does.
    struct Move {
        ui::OptionButton* from;
        WPARAM key;
        ui::OptionButton* chosen;
        ui::Control* focus;
    };
    const Move moves[] = {{&d.optReplace, VK_UP, &d.opCancel, &d.opCancel},
                          {&d.opCancel, VK_DOWN, &d.optReplace, &d.optReplace},
                          {&d.optReplace, VK_DOWN, &d.optRename, &d.txtRename},
                          {&d.opCancel, VK_UP, &d.optRename, &d.txtRename}};
    for (const Move& m : moves) {
        m.from->choose();
        m.from->setFocus();
        press(d, m.key);
        EXPECT_EQ(::GetFocus(), m.focus->handle()) << m.from->name() << " " << m.key;
        for (ui::OptionButton* option : {&d.optReplace, &d.optRename, &d.opCancel})
            EXPECT_EQ(option->value(), option == m.chosen) << m.from->name() << " " << m.key << ": " << option->name();
    }
    EXPECT_TRUE(d.txtRename.enabled());

    // Each option's text fits beside its button.
    HDC dc = ::GetDC(d.handle());
    for (ui::OptionButton* option : {&d.optReplace, &d.optRename, &d.opCancel}) {
        HGDIOBJ before = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(option->handle(), WM_GETFONT, 0, 0)));
        const std::wstring text = option->text();
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, before);
        RECT client;
        ::GetClientRect(option->handle(), &client);
        const int box = ::GetSystemMetrics(SM_CXMENUCHECK) + ::GetSystemMetrics(SM_CXEDGE) * 2;
        EXPECT_LE(extent.cx + box, client.right) << narrow(text);
    }
    ::ReleaseDC(d.handle(), dc);
    d.unload();
}

}  // namespace
}  // namespace qb::testing
