#include "windows/relation/frm_quillbox.h"

#include <cmath>

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "support/services.h"
#include "support/settings.h"

namespace qb::windows {
namespace {

using automation::Object;
using automation::Variant;
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

}  // namespace

frmQuillbox::frmQuillbox()
    : Form({L"frmQuillbox", L"Relations", 8040, 6300, RGB(224, 224, 224)}),
      info(context()),
      keywords(context(), KeywordNames{L"LoadKeyWord", L"mnu_AddKeyWord"}),
      themes(context()),
      files(context()),
      server(context(), {[this](const Object& item) { info.showUploaded(item); }, [this] { uploadDone(); }}),
      CheckState1(*this, {[this] { CheckState1_ChangeState(); }, [this](short view) { CheckState1_ChangeView(view); }}) {
    cmdOk.onClick = [this] { cmdOk_Click(); };
    cmdView.onClick = [this] { cmdView_Click(); };
    place({{ssTab, {L"ssTab", L"Info|Keywords|Themes|Files|Server", {60, 60, 7920, 5640}}},
           {cmdOk, {L"cmdOk", L"Ok", {6660, 5820, 1320, 375}}}});
    place(info.layout(kInfoTab));
    place(keywords.layout(kKeywordsTab));
    place(ui::onPage(kKeywordsTab, {{cmdView, {L"cmdView", L"", {240, 5040, 3660, 375}, 0, {}, L"Keyword view"}}}));
    place(themes.layout(3));
    place(files.layout(4));
    place(server.layout(kServerTab));
}

frmQuillbox::~frmQuillbox() { unload(); }

RelationContext frmQuillbox::context() { return {*this, oFileSelected, SelectedViewId, StartDrag, CheckState1}; }

long frmQuillbox::ConvertTwipsToPixels(long lngTwips, long lngDirection) {
    return automation::qualified(L"frmQuillbox.ConvertTwipsToPixels()", [&] {
        int dpi = ui::screenDpi(lngDirection ? ui::Direction::Vertical : ui::Direction::Horizontal);
        return static_cast<long>(std::nearbyint(lngTwips / 1440.0 * dpi));  // halves to even
    });
}

void frmQuillbox::formLoad() {
    event(L"Form_Load", [&] {
        info.prepare();
        keywords.prepare();
        files.prepare();
        server.prepare();
        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        SelectedViewId = storedView(support::GetSetting(kSettingsApp, kSettingsSection, kSettingsKey, L"0"));
        info.showRecord();
        ConfigGrid();
        LoadSelectView();
        keywords.reload(L"Form_Load");
        LoadMemoRelationed();
        LoadFileRelationed();
        CheckState1.start();
        ssTab.select(kKeywordsTab);
    });
}

void frmQuillbox::LoadFileInfo(std::wstring fil) {
    automation::qualified(L"frmQuillbox.LoadFileInfo()", [&] {
        load();  // the opener's first use of the window
        ::CharUpperBuffW(fil.data(), static_cast<DWORD>(fil.size()));
        fi = std::make_unique<fileinfo::CFileInfo>();
        fi->setFullPathName(fil);
        info.showFileIcon(fi.get());
    });
}

void frmQuillbox::LoadFileOutlookInfo(const std::wstring&, const std::wstring& pstrType) {
    automation::qualified(L"frmQuillbox.LoadFileOutlookInfo()", [&] {
        load();
        static const std::pair<const wchar_t*, const wchar_t*> pictures[] = {
            {L"OutlookMail", L"Mail"},
            {L"OutlookContact", L"Contact"},
            {L"OutlookTask", L"Task"},
            {L"OutlookAppointment", L"Appointment"},
            {L"OutlookNote", L"Note"}};
        for (const auto& [type, picture] : pictures)
            if (pstrType == type) info.showKindPicture(picture);
    });
}

void frmQuillbox::LoadSelectView() {
    automation::qualified(L"frmQuillbox.LoadSelectView()", [&] {
        Object lookup = createObject(contract::progid::View);
        lookup.call(L"loaddata", {SelectedViewId});
        Object view = lookup.callObject(L"GetOne");
        if (!view.isNothing()) {
            cmdView.showData(view.get(L"ViewName").toText());
        } else {
            for (const Object& first : createObject(contract::progid::View).callObject(L"GetAll").items()) {
                SelectedViewId = first.get(L"ViewId").toShort();
                cmdView.showData(first.get(L"ViewName").toText());
                break;
            }
        }
        support::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, std::to_wstring(SelectedViewId));
    });
}

// A change of view that failed halfway: the lists of the view now in use, as stored.
void frmQuillbox::resync(const automation::ComError& reported) noexcept {
    if (!isLoaded()) return;
    keywords.resync(reported);
    themes.resync(reported);
    files.resync(reported);
}

void frmQuillbox::cmdView_Click() {
    const auto failure = eventFailure(L"cmdView_Click", [&] {
        Object view = CheckState1.aroundSuiteDialog([] { return createObject(L"Lenspick.Engine").callObject(L"showviews"); });
        if (!view.isNothing()) {
            // Both read before either is taken: the button always names the view in use.
            const short id = view.get(L"ViewId").toShort();
            const std::wstring name = view.get(L"ViewName").toText();
            SelectedViewId = id;
            cmdView.showData(name);
            support::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, std::to_wstring(SelectedViewId));
        }
        keywords.reload(L"cmdView_Click");
        LoadMemoRelationed();
        cmdOk.setFocus();
    });
    if (failure) resync(*failure);
}

void frmQuillbox::CheckState1_ChangeView(short viewId) {
    const short before = SelectedViewId;
    const auto failure = eventFailure(L"CheckState1_ChangeView", [&] {
        SelectedViewId = viewId;
        try {
            LoadSelectView();
        } catch (...) {
            SelectedViewId = before;  // the view could not be named: the window stays on the one it shows
            throw;
        }
        keywords.reload(L"CheckState1_ChangeView");
        LoadMemoRelationed();
        LoadFileRelationed();
    });
    if (failure) resync(*failure);
}

void frmQuillbox::CheckState1_ChangeState() {
    support::services().prompter->messageBox(
        handle(), L"Your connection with Vellumdex Server to changed state, because of it this window will be closed.",
        L"Vellumdex", MB_OK | MB_ICONINFORMATION);
    unload();
}

void frmQuillbox::cmdOk_Click() {
    if (server.busy()) return;  // the upload's messages run meanwhile: the window stays for it
    hide();
}

void frmQuillbox::uploadDone() {
    ssTab.select(kInfoTab);
    ssTab.setPageEnabled(kServerTab, false);
}

bool frmQuillbox::message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_CLOSE && server.busy()) {  // not closed under a running upload
        result = 0;
        return true;
    }
    return keywords.dragMessage(msg, result);
}

}  // namespace qb::windows
