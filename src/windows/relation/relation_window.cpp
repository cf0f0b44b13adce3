#include "windows/relation/relation_window.h"

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "support/services.h"
#include "support/settings.h"

namespace qb::windows {
namespace {

using automation::Object;
using support::createObject;

constexpr wchar_t kSettingsApp[] = L"Vellumdex";
constexpr wchar_t kSettingsSection[] = L"Selected View Shell";
constexpr wchar_t kSettingsKey[] = L"ID";

// The stored view id; a value that is no whole number in the 16-bit range counts as no view
// stored (0), which LoadSelectView replaces by the first view and writes back.
short storedView(const std::wstring& text) {
    const std::wstring t = automation::trimBlanks(text);
    size_t digits = t.starts_with(L'-') || t.starts_with(L'+') ? 1 : 0;
    if (t.size() == digits || t.size() - digits > 5 || t.find_first_not_of(L"0123456789", digits) != std::wstring::npos)
        return 0;
    const long value = std::wcstol(t.c_str(), nullptr, 10);
    return value < -32768 || value > 32767 ? 0 : static_cast<short>(value);
}

void saveView(short id) { support::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, std::to_wstring(id)); }

}  // namespace

RelationWindow::RelationWindow(ui::FormSpec design)
    : Form(std::move(design)),
      CheckState1(*this, {[this] { CheckState1_ChangeState(); }, [this](short view) { CheckState1_ChangeView(view); }}) {
    cmdView.onClick = [this] { cmdView_Click(); };
    cmdOk.isDefault = true;  // Enter where no control takes it
}

RelationContext RelationWindow::context() { return {*this, oFileSelected, SelectedViewId, StartDrag, CheckState1}; }

void RelationWindow::loadSkinAndStoredView() {
    Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
    Skin1.applySkin(handle());
    SelectedViewId = storedView(support::GetSetting(kSettingsApp, kSettingsSection, kSettingsKey, L"0"));
}

void RelationWindow::dpiChanged() {
    // The pictures at the new size; the lists show them at once.
    if (pages_.keywords) pages_.keywords->drawPictures();
    if (pages_.themes) pages_.themes->ConfigGrid();
}

void RelationWindow::formLoad() {
    event(L"Form_Load", [&] {
        if (pages_.info) pages_.info->prepare();
        if (pages_.keywords) pages_.keywords->prepare();
        if (pages_.themes) pages_.themes->prepare();
        if (pages_.files) pages_.files->prepare();
        preparePages();
        loadSkinAndStoredView();
        if (pages_.info) pages_.info->showRecord();
        recordShown();
        if (pages_.themes) pages_.themes->ConfigGrid();
        LoadSelectView();
        if (pages_.keywords) pages_.keywords->reload(L"Form_Load");
        if (pages_.themes) pages_.themes->LoadMemoRelationed();
        if (pages_.files) pages_.files->LoadFileRelationed();
        CheckState1.start();
        if (pages_.tabs) pages_.tabs->select(pages_.keywordsTab);
    });
}

void RelationWindow::LoadSelectView() {
    automation::qualified(qualifiedName(L"LoadSelectView"), [&] {
        Object lookup = createObject(contract::progid::View);
        lookup.call(L"loaddata", {SelectedViewId});
        Object view = lookup.callObject(L"GetOne");
        if (!view.isNothing()) {
            cmdView.showData(view.get(L"ViewName").toText());
        } else {
            for (const Object& first : createObject(contract::progid::View).callObject(L"GetAll").items()) {
                const short id = first.get(L"ViewId").toShort();
                cmdView.showData(first.get(L"ViewName").toText());
                SelectedViewId = id;
                break;
            }
        }
        saveView(SelectedViewId);
    });
}

void RelationWindow::reloadForView(std::wstring_view handler, bool toldByControl) {
    if (pages_.keywords) pages_.keywords->reload(handler);
    if (pages_.themes) pages_.themes->LoadMemoRelationed();
    if (toldByControl && pages_.files) pages_.files->LoadFileRelationed();
}

void RelationWindow::resync(const automation::ComError& reported) noexcept {
    if (!isLoaded()) return;
    if (pages_.keywords) pages_.keywords->resync(reported);
    if (pages_.themes) pages_.themes->resync(reported);
    if (pages_.files) pages_.files->resync(reported);
}

void RelationWindow::cmdView_Click() {
    const auto failure = eventFailure(L"cmdView_Click", [&] {
        Object view = CheckState1.aroundSuiteDialog([] { return createObject(L"Lenspick.Engine").callObject(L"showviews"); });
        if (!view.isNothing()) {
            // Both read before either is taken: the button always names the view in use.
            const short id = view.get(L"ViewId").toShort();
            const std::wstring name = view.get(L"ViewName").toText();
            SelectedViewId = id;
            cmdView.showData(name);
            saveView(SelectedViewId);
        }
        reloadForView(L"cmdView_Click", false);
        cmdOk.setFocus();
    });
    if (failure) resync(*failure);
}

void RelationWindow::CheckState1_ChangeView(short viewId) {
    const short before = SelectedViewId;
    const auto failure = eventFailure(L"CheckState1_ChangeView", [&] {
        SelectedViewId = viewId;
        try {
            LoadSelectView();
        } catch (...) {
            SelectedViewId = before;  // the view could not be named: the window stays on the one it shows
            throw;
        }
        reloadForView(L"CheckState1_ChangeView", true);
    });
    if (failure) resync(*failure);
}

void RelationWindow::CheckState1_ChangeState() {
    support::services().prompter->messageBox(
        handle(), L"Your connection with Vellumdex Server to changed state, because of it this window will be closed.",
        L"Vellumdex", MB_OK | MB_ICONINFORMATION);
    unload();
}

// What the pages hold of the suite goes with the window.
void RelationWindow::formUnload() {
    if (pages_.info) pages_.info->detach();
    if (pages_.themes) pages_.themes->detach();
    if (pages_.files) pages_.files->detach();
    CheckState1.stop();
}

bool RelationWindow::message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    return pages_.keywords && pages_.keywords->dragMessage(msg, result);
}

}  // namespace qb::windows
