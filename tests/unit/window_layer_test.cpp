// The window layer as a guest in somebody else's process: the form's life, the keys a dialog box
// answers, colours, DPI, names for screen readers, activation, and what a load leaves behind.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "engine/engine.h"
#include "gui_counts.h"
#include "in_process_suite.h"
#include "ui/controls/image_combo.h"
#include "ui/window/activation.h"
#include "ui/window/form.h"
#include "ui/window/modal.h"
#include "windows/dialogs/download_window.h"
#include "windows/dialogs/edit_dialogs.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using automation::ComError;

// Records the activation context in force while its window is made.
class ContextProbe final : public ui::Control {
public:
    HANDLE context = nullptr;
    const wchar_t* windowClass() const override { return L"STATIC"; }
    DWORD style() const override { return WS_CHILD; }

protected:
    void created() override {
        ::GetCurrentActCtx(&context);
        ::ReleaseActCtx(context);  // only the value is compared
    }
};

class TestForm final : public ui::Form {
public:
    static constexpr COLORREF kBack = RGB(200, 210, 220);
    ui::TabStrip tabs;
    ui::Label lblA;
    ui::TextBox txtA;
    ui::Button cmdB;
    ui::CheckBox chkC;
    ui::TextBox txtTwo;
    ui::TaggedList lstTwo;
    ui::Button cmdOk;
    ContextProbe probe;
    int loads = 0, failingLoads = 0;

    TestForm() : Form({L"frmTest", L"Layer test", 6000, 4000, kBack}) {
        cmdOk.onClick = [this] { hide(); };
        place({{tabs, {L"tabs", L"One|Two|Three", {60, 60, 5880, 3300}}}});
        place(ui::onPage(1, {{lblA, {L"lblA", L"&First name:", {240, 480, 1200, 240}}},
                             {txtA, {L"txtA", L"", {1500, 480, 2000, 315}}},
                             {cmdB, {L"cmdB", L"&Bee", {240, 900, 1200, 375}}},
                             {chkC, {L"chkC", L"Check", {1500, 900, 1200, 300}}}}));
        place(ui::onPage(2, {{txtTwo, {L"txtTwo", L"", {240, 480, 2000, 315}, 0, {}, L"Second text"}},
                             {lstTwo, {L"lstTwo", L"", {240, 900, 4000, 2000}, 0, {}, L"Second list"}}}));
        place({{cmdOk, {L"cmdOk", L"Ok", {4800, 3500, 1100, 375}}}, {probe, {L"probe", L"", {0, 0, 10, 10}}}});
    }

protected:
    void formLoad() override {
        ++loads;
        if (failingLoads-- > 0) throw ComError(5, L"the load step failed", L"frmTest");
    }
};

struct WindowLayerTest : ::testing::Test {
    FakeSuite fakes;
    TestForm form;
    void TearDown() override { form.unload(); }

    // A key as the modal loop offers it to the form, with Ctrl and Shift held as given.
    bool key(WPARAM vk, bool ctrl = false, bool shift = false) {
        BYTE keys[256] = {}, saved[256] = {};
        ::GetKeyboardState(saved);
        ::memcpy(keys, saved, sizeof keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG msg{::GetFocus() ? ::GetFocus() : form.handle(), WM_KEYDOWN, vk, 1, 0, {}};
        bool taken = form.translateKey(msg);
        ::SetKeyboardState(saved);
        return taken;
    }
    void show() {
        form.load();
        ::ShowWindow(form.handle(), SW_SHOW);
    }
};

TEST_F(WindowLayerTest, AControlOfAFormThatIsNotLoadedRaisesAndNeverLoadsIt) {
    for (int round = 0; round < 2; ++round) {
        try {
            form.txtA.setText(L"x");
            ADD_FAILURE() << "no error";
        } catch (const ComError& e) {
            EXPECT_EQ(e.number(), 364);
            EXPECT_EQ(e.description(), L"Object was unloaded");
        }
        EXPECT_THROW(form.txtA.text(), ComError);
        EXPECT_FALSE(form.isLoaded());
        form.load();
        form.txtA.setText(L"typed");
        EXPECT_EQ(form.txtA.text(), L"typed");
        form.unload();
    }
    EXPECT_EQ(form.loads, 1 + 1);
}

TEST_F(WindowLayerTest, AFailedLoadLeavesNothingAndTheNextLoadStartsAfresh) {
    form.failingLoads = 1;
    EXPECT_THROW(form.load(), ComError);
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(form.txtA.handle(), nullptr) << "the controls went with the window";
    form.load();
    EXPECT_TRUE(form.isLoaded());
    EXPECT_EQ(form.loads, 2) << "the load step ran again";
    EXPECT_NE(form.txtA.handle(), nullptr);
}

// The controls of a page not shown yet get their windows when the page first shows, or when one
// is reached before: made as the others were (font, place among its siblings, what was set
// meanwhile), and made again after each load.
TEST_F(WindowLayerTest, AControlOfAPageNotShownIsMadeWhenItsPageShowsOrItIsReached) {
    auto childOfClass = [&](const wchar_t* cls) { return ::FindWindowExW(form.handle(), nullptr, cls, nullptr); };
    for (int round = 0; round < 2; ++round) {
        show();
        EXPECT_EQ(childOfClass(WC_LISTVIEWW), nullptr) << round;
        EXPECT_TRUE(form.lstTwo.exists());
        form.txtTwo.setEnabled(false);
        EXPECT_FALSE(form.txtTwo.enabled());
        EXPECT_EQ(childOfClass(WC_LISTVIEWW), nullptr) << "a state set is kept for the window";

        form.tabs.select(2);
        HWND text = form.txtTwo.handle(), list = childOfClass(WC_LISTVIEWW);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list, form.lstTwo.handle());
        EXPECT_TRUE(::IsWindowVisible(text));
        EXPECT_FALSE(::IsWindowEnabled(text));
        EXPECT_EQ(::SendMessageW(text, WM_GETFONT, 0, 0), ::SendMessageW(form.txtA.handle(), WM_GETFONT, 0, 0));
        RECT r;
        ::GetWindowRect(text, &r);
        POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ScreenToClient(form.handle(), &middle);
        EXPECT_EQ(::ChildWindowFromPointEx(form.handle(), middle, CWP_SKIPINVISIBLE), text) << "above the tab control";
        form.unload();
    }

    show();
    EXPECT_TRUE(form.txtTwo.enabled()) << "a new load starts afresh";
    form.txtTwo.setText(L"early");  // reached before its page shows
    HWND text = ::FindWindowExW(form.handle(), form.txtA.handle(), WC_EDITW, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text, form.txtTwo.handle());
    EXPECT_FALSE(::IsWindowVisible(text)) << "and hidden with its page";
    EXPECT_EQ(childOfClass(WC_LISTVIEWW), nullptr) << "the rest of the page waits";
}

TEST_F(WindowLayerTest, TabFollowsTheLayoutPastHiddenAndUnavailableControls) {
    show();
    form.cmdB.setEnabled(false);
    form.txtA.setFocus();
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(::GetFocus(), form.chkC.handle()) << "the unavailable button is passed over";
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), form.cmdOk.handle()) << "the second page's controls are hidden";
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), form.tabs.handle()) << "round the end to the first control";
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), form.txtA.handle());
    key(VK_TAB, false, true);
    EXPECT_EQ(::GetFocus(), form.tabs.handle()) << "Shift+Tab goes back";
    EXPECT_FALSE(key(VK_RETURN)) << "other keys are the dialog manager's";
}

TEST_F(WindowLayerTest, CtrlTabAndCtrlPageKeysTurnThePagesPastUnavailableOnes) {
    show();
    form.tabs.setPageEnabled(3, false);
    form.txtA.setFocus();
    EXPECT_TRUE(key(VK_TAB, true));
    EXPECT_EQ(form.tabs.selected(), 2);
    EXPECT_TRUE(::IsWindowVisible(form.lstTwo.handle()));
    EXPECT_FALSE(::IsWindowVisible(form.txtA.handle()));
    EXPECT_TRUE(::IsWindowVisible(::GetFocus())) << "the focus does not stay on a hidden control";
    key(VK_TAB, true);
    EXPECT_EQ(form.tabs.selected(), 1) << "the unavailable third page is passed over";
    key(VK_TAB, true, true);
    EXPECT_EQ(form.tabs.selected(), 2);
    key(VK_PRIOR, true);
    EXPECT_EQ(form.tabs.selected(), 1);
    key(VK_NEXT, true);
    EXPECT_EQ(form.tabs.selected(), 2);
}

TEST_F(WindowLayerTest, TheMenuKeyOpensAPopUpMenuAtTheSelectedItem) {
    show();
    form.tabs.select(2);
    form.lstTwo.addColumn(L"Name", 200);
    for (const wchar_t* name : {L"one", L"two", L"three"}) form.lstTwo.add(name, 0, 0);
    form.lstTwo.select(2);
    POINT asked{-5, -5};
    form.lstTwo.onContextMenu = [&](POINT at) { asked = at; };
    // Shift+F10 and the menu key reach the form as WM_CONTEXTMENU at (-1, -1).
    ::SendMessageW(form.handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.lstTwo.handle()), MAKELPARAM(-1, -1));
    RECT item{};
    ListView_GetItemRect(form.lstTwo.handle(), 2, &item, LVIR_LABEL);
    POINT below{item.left, item.bottom};
    ::ClientToScreen(form.lstTwo.handle(), &below);
    EXPECT_EQ(asked.x, below.x);
    EXPECT_EQ(asked.y, below.y);
    // The right button: where the pointer is.
    ::SendMessageW(form.handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.lstTwo.handle()), MAKELPARAM(300, 200));
    EXPECT_EQ(asked.x, 300);
    EXPECT_EQ(asked.y, 200);
}

TEST_F(WindowLayerTest, ANewDpiLaysTheFormOutAgainWithAFontToMatch) {
    show();
    RECT suggested;
    ::GetWindowRect(form.handle(), &suggested);
    ::SendMessageW(form.handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.dpi(), (ui::Dpi{144, 144}));
    RECT r;
    ::GetWindowRect(form.txtA.handle(), &r);
    ::MapWindowPoints(nullptr, form.handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 150) << "1500 twips at 144 DPI";
    EXPECT_EQ(r.top, 48);
    EXPECT_EQ(r.right - r.left, 200);
    RECT client;
    ::GetClientRect(form.handle(), &client);
    EXPECT_EQ(client.right, 600);
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(form.txtA.handle(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -16) << "8 points at 144 DPI";
}

// Alt and a letter, as the modal loop hands it to the dialog manager.
bool accessKey(ui::Form& form, wchar_t letter) {
    MSG msg{::GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29, 0, {}};
    return ::IsDialogMessageW(form.handle(), &msg) != FALSE;
}

TEST_F(WindowLayerTest, AccessKeysMoveToALabelledControlOrPressAButton) {
    show();
    int pressed = 0;
    form.cmdB.onClick = [&] { ++pressed; };
    form.cmdOk.setFocus();
    EXPECT_TRUE(accessKey(form, L'f'));
    EXPECT_EQ(::GetFocus(), form.txtA.handle()) << "Alt+F: the text box after \"&First name:\"";
    accessKey(form, L'b');
    EXPECT_EQ(pressed, 1) << "Alt+B presses \"&Bee\"";
}

TEST_F(WindowLayerTest, TheFocusComesBackToTheControlThatHadIt) {
    show();
    form.chkC.setFocus();
    ::SendMessageW(form.handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    form.txtA.setFocus();
    ::SendMessageW(form.handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(::GetFocus(), form.chkC.handle());
}

TEST_F(WindowLayerTest, ControlsAreMadeWithTheComponentsOwnManifestActive) {
    HANDLE component = ui::componentActivationContext();
    ASSERT_NE(component, INVALID_HANDLE_VALUE) << "the program carries the component's manifest as resource 2";
    form.load();
    EXPECT_EQ(form.probe.context, component);
    HANDLE now = nullptr;
    ::GetCurrentActCtx(&now);
    EXPECT_NE(now, component) << "and only while they are made";
    if (now) ::ReleaseActCtx(now);
}

TEST_F(WindowLayerTest, AFormShownModallyIsNotShownModallyAgain) {
    bool refused = false;
    fakes.modal.script = [&](ui::Form& shown) {
        try {
            shown.showModal();
        } catch (const ComError& e) {
            refused = e.number() == 400 && e.description() == L"Form already displayed; can't show modally";
        }
        EXPECT_TRUE(shown.isLoaded());
    };
    form.showModal();
    EXPECT_TRUE(refused);
    EXPECT_FALSE(form.isShownModally());
}

// ---- what loads and unloads leave behind -------------------------------------------------------

template <class F>
void expectNoGuiObjectsLeft(const char* what, F&& loadAndUnload) {
    loadAndUnload();  // caches the process keeps for good (fonts, classes, pictures) are made now
    const GuiCounts before = guiCounts();
    for (int i = 0; i < 100; ++i) loadAndUnload();
    const GuiCounts after = guiCounts();
    if (sizeof(void*) == 4 && before.gdi == 0) {
        static bool said = false;
        if (!said) std::printf("x86: GDI objects are not counted (a 32-bit process under Wine keeps no GDI handle table); USER objects are\n");
        said = true;
    } else {
        EXPECT_GT(before.gdi, 0) << "counted at all";
        EXPECT_EQ(after.gdi, before.gdi) << what << ": GDI objects";
    }
    EXPECT_EQ(after.user, before.user) << what << ": USER objects";
}

TEST_F(WindowLayerTest, AHundredLoadsOfTheDialogsLeaveNoGdiOrUserObjects) {
    automation::ComPtr<FakeObject> record = makeFake(L"File", fakes.log);
    record->field(L"FileName", Variant(L"Report"))
        .field(L"FileComment", Variant(L"Comment"))
        .field(L"FileCurrentPath", Variant(L"C:\\docs\\report.txt"))
        .field(L"FileType", Variant(L"File"));
    auto cycle = [&](auto& dialog) {
        return [&] {
            dialog.oFileSelected = record->object();
            dialog.load();
            dialog.unload();
        };
    };
    windows::frmEditName name;
    windows::frmEditComment comment;
    windows::frmEditPath path;
    windows::frmDownload download;
    expectNoGuiObjectsLeft("frmEditName", cycle(name));
    expectNoGuiObjectsLeft("frmEditComment", cycle(comment));
    expectNoGuiObjectsLeft("frmEditPath", cycle(path));
    expectNoGuiObjectsLeft("frmDownload", [&] {
        download.load();
        download.unload();
    });
    expectNoGuiObjectsLeft("a form with every kind of control", [&] {
        form.load();
        ::ShowWindow(form.handle(), SW_SHOWNA);
        form.unload();
    });
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

struct RelationWindowLifeTest : SeededSuite {};

TEST_F(RelationWindowLifeTest, AHundredLoadsOfTheRelationWindowLeaveNoGdiOrUserObjects) {
    windows::frmQuillbox window;
    window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
    window.m_UserFile = L"C:\\docs\\report.txt";
    expectNoGuiObjectsLeft("frmQuillbox", [&] {
        window.LoadFileInfo(L"C:\\docs\\report.txt");
        window.LoadFileOutlookInfo(L"x", L"OutlookMail");
        ::UpdateWindow(window.handle());
        window.unload();
    });
    EXPECT_TRUE(fakes.prompter.boxes.empty());
}

TEST_F(RelationWindowLifeTest, ShowRelationCalledAgainUnderItsOwnWindowIsRefusedAndTheWindowGoesOn) {
    automation::Object engine(engine::createEngine());
    bool refused = false;
    fakes.modal.script = [&](ui::Form& shown) {
        auto& window = dynamic_cast<windows::frmQuillbox&>(shown);
        try {
            engine.call(L"ShowRelation", {L"C:\\docs\\report.txt"});  // from a host timer, say
        } catch (const ComError& e) {
            refused = e.number() == 400 && e.source().find(L" Engine.ShowRelation() ") != std::wstring::npos;
        }
        ASSERT_TRUE(window.isLoaded()) << "the running window was not freed under its loop";
        window.keywords.pvtreeKeys.select(window.keywords.SearchNode(L"102"));
        window.keywords.Relation();
        window.cmdOk_Click();
    };
    engine.call(L"ShowRelation", {L"C:\\docs\\report.txt"});
    EXPECT_TRUE(refused);
    EXPECT_EQ(stored(), L"101 102 201") << "the first window went on working";
    EXPECT_EQ(fakes.modal.shown, 1);
}

}  // namespace
}  // namespace qb::testing
