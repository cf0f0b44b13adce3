#include "windows/relation/frm_quillbox.h"

#include <ocidl.h>

#include <cmath>

#include "automation/dispatch_object.h"
#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "support/services.h"
#include "support/settings.h"
#include "ui/twips.h"

namespace qb::windows {
namespace {

using automation::Arg;
using automation::Object;
using automation::Variant;
using support::createObject;
using ui::ControlKind;

constexpr wchar_t kSettingsApp[] = L"Vellumdex";
constexpr wchar_t kSettingsSection[] = L"Selected View Shell";
constexpr wchar_t kSettingsKey[] = L"ID";
constexpr UINT kAddKeywordCommand = 40001;
// {9766AEE3-2BE2-4BB5-9622-CE9A04FB564F}: the connection-state control's event interface.
constexpr IID DIID_CheckStateEvents = {0x9766aee3, 0x2be2, 0x4bb5, {0x96, 0x22, 0xce, 0x9a, 0x04, 0xfb, 0x56, 0x4f}};

ui::FormSpec layout() {
    std::vector<ui::ControlSpec> c = {
        {L"ssTab", ControlKind::Tab, L"Info|Keywords|Themes|Files|Server", 60, 60, 7920, 5640},
        {L"cmdOk", ControlKind::Button, L"Ok", 6660, 5820, 1320, 375},
    };
    auto add = [&c](std::vector<ui::ControlSpec> more) { c.insert(c.end(), more.begin(), more.end()); };
    add(ui::onPage(1, {{L"picIcon", ControlKind::Picture, L"", 240, 480, 540, 540},
                       {L"lblName", ControlKind::Label, L"Name:", 960, 540, 840, 240},
                       {L"txtNameUpdate", ControlKind::TextBox, L"", 1860, 480, 5880, 315},
                       {L"lblPath", ControlKind::Label, L"Path:", 960, 960, 840, 240},
                       {L"txtPathUpdate", ControlKind::TextBox, L"", 1860, 900, 5880, 315},
                       {L"lblComment", ControlKind::Label, L"Comment:", 960, 1380, 840, 240},
                       {L"txtComment", ControlKind::MultiLineTextBox, L"", 1860, 1320, 5880, 3600},
                       {L"cmdUpdateData", ControlKind::Button, L"Update Info", 6420, 5040, 1320, 375}}));
    add(ui::onPage(2, {{L"lblAllKeywords", ControlKind::Label, L"All Keywords", 240, 480, 1500, 240},
                       // Narrows the tree to keywords containing the typed text; stores nothing.
                       {L"txtFilter", ControlKind::TextBox, L"", 1800, 430, 2100, 285},
                       {L"pvtreeKeys", ControlKind::Tree, L"", 240, 750, 3660, 4140},
                       {L"lblRelated", ControlKind::Label, L"Related keywords", 4080, 480, 3660, 240},
                       ui::withToolTip({L"lstKeyRel", ControlKind::ListView, L"", 4080, 750, 3660, 4140},
                                       L"Drag and drop to relate keyword to file"),
                       {L"cmdView", ControlKind::Button, L"", 240, 5040, 3660, 375},
                       {L"cmdUpdate", ControlKind::Button, L"Add/Edit keywords", 4080, 5040, 3660, 375}}));
    add(ui::onPage(3, {{L"grdMemo", ControlKind::ListView, L"", 240, 480, 7500, 4440},
                       {L"cmdMakeRelationMemo", ControlKind::Button, L"Create", 240, 5040, 1320, 375},
                       {L"cmdUnRelMemo", ControlKind::Button, L"Remove", 1680, 5040, 1320, 375},
                       {L"cmdSingleLine", ControlKind::Button, L"Single line", 4980, 5040, 1320, 375},
                       {L"cmdMultiLine", ControlKind::Button, L"Multi line", 6420, 5040, 1320, 375}}));
    add(ui::onPage(4, {{L"lblFiles", ControlKind::Label, L"File Relations", 240, 480, 7500, 240},
                       {L"lstFileRel", ControlKind::ListView, L"", 240, 750, 7500, 4140},
                       {L"cmdAddAttach", ControlKind::Button, L"Add", 240, 5040, 1320, 375},
                       {L"cmdDelAttach", ControlKind::Button, L"Remove", 1680, 5040, 1320, 375},
                       {L"cmdOpen", ControlKind::Button, L"Open", 6420, 5040, 1320, 375}}));
    add(ui::onPage(5, {{L"lblUpload", ControlKind::Label, L"Upload file to server:", 240, 600, 3600, 240},
                       {L"cmdUpload", ControlKind::Button, L"Upload", 3960, 540, 1320, 375},
                       {L"chkRemove", ControlKind::CheckBox, L"Remove this file in Local Data Base", 240, 1140, 5040, 300},
                       {L"sspSending", ControlKind::Panel, L"", 240, 1680, 7500, 1020},
                       {L"Animation1", ControlKind::Animation, L"", 360, 1740, 7260, 900}}));
    return {L"frmQuillbox", L"Relations", 8040, 6300, RGB(224, 224, 224), c};
}

// Receives the connection-state control's events (dispids 1 and 2) for the window.
class StateSink final : public automation::DispatchObject {
public:
    explicit StateSink(frmQuillbox* window) : window_(window) {}
    void detach() { window_ = nullptr; }

protected:
    const automation::MemberTable& members() const override {
        static const automation::MemberTable t = [] {
            automation::MemberTable m;  // declared in dispid order
            m.method<StateSink>(L"ChangeState", [](StateSink& s, const automation::CallArgs&) {
                if (s.window_) s.window_->CheckState1_ChangeState();
            });
            m.method<StateSink>(L"ChangeView", [](StateSink& s, const automation::CallArgs& a) {
                if (s.window_) s.window_->CheckState1_ChangeView(a.value(0).toShort());
            });
            return m;
        }();
        return t;
    }

private:
    frmQuillbox* window_;
};

}  // namespace

frmQuillbox::frmQuillbox() : Form(layout()) {}

frmQuillbox::~frmQuillbox() {
    stopWatching();
    unload();
    if (pictures_) ImageList_Destroy(pictures_);
    if (kindPictures_) ImageList_Destroy(kindPictures_);
}

long frmQuillbox::fileId() const { return oFileSelected.get(contract::field::FileId).toLong(); }

long frmQuillbox::ConvertTwipsToPixels(long lngTwips, long lngDirection) {
    return automation::qualified(L"frmQuillbox.ConvertTwipsToPixels()", [&] {
        int dpi = ui::screenDpi(lngDirection ? ui::Direction::Vertical : ui::Direction::Horizontal);
        return static_cast<long>(std::nearbyint(lngTwips / 1440.0 * dpi));  // halves to even
    });
}

void frmQuillbox::formLoad() {
    event(L"Form_Load", [&] {
        tree_.attach(control(L"pvtreeKeys"));
        related_.attach(control(L"lstKeyRel"));
        pictures_ = ui::keywordPictures();
        TreeView_SetImageList(tree_.handle(), pictures_, TVSIL_NORMAL);
        ListView_SetImageList(related_.handle(), pictures_, LVSIL_SMALL);
        for (const wchar_t* later : {L"grdMemo", L"cmdMakeRelationMemo", L"cmdUnRelMemo", L"cmdSingleLine",
                                     L"cmdMultiLine", L"lstFileRel", L"cmdAddAttach", L"cmdDelAttach", L"cmdOpen",
                                     L"cmdUpload", L"chkRemove"})
            setEnabled(later, false);  // their tabs are not filled in yet

        Skin1.loadSkin(automation::moduleFolder() + L"\\skin\\mac.skn");
        Skin1.applySkin(handle());
        SelectedViewId = Variant(support::GetSetting(kSettingsApp, kSettingsSection, kSettingsKey, L"0")).toShort();
        RECT rc;
        ::GetClientRect(related_.handle(), &rc);
        related_.addColumn(L"KeyWord", rc.right - ConvertTwipsToPixels(300, 0));
        ui::TaggedList files;
        files.attach(control(L"lstFileRel"));
        ::GetClientRect(files.handle(), &rc);
        files.addColumn(L"File", rc.right - ConvertTwipsToPixels(300, 0));
        files.addColumn(L"Kind", 0);
        TreeView_SetBkColor(tree_.handle(), RGB(255, 255, 255));
        setText(L"txtNameUpdate", oFileSelected.get(contract::field::FileName).toText());
        setText(L"txtComment", oFileSelected.get(contract::field::FileComment).toText());
        setText(L"txtPathUpdate", oFileSelected.get(contract::field::FileCurrentPath).toText());
        ConfigGrid();
        LoadSelectView();
        LoadKWRelationed();
        LoadKeyWord();
        LoadMemoRelationed();
        LoadFileRelationed();
        startWatching();
        selectTab(L"ssTab", 2);
    });
}

void frmQuillbox::LoadFileInfo(std::wstring fil) {
    automation::qualified(L"frmQuillbox.LoadFileInfo()", [&] {
        ::CharUpperBuffW(fil.data(), static_cast<DWORD>(fil.size()));
        fi = std::make_unique<fileinfo::CFileInfo>();
        fi->setFullPathName(fil);
        headerPicture_.clear();
        ::InvalidateRect(control(L"picIcon"), nullptr, TRUE);
    });
}

void frmQuillbox::LoadFileOutlookInfo(const std::wstring&, const std::wstring& pstrType) {
    automation::qualified(L"frmQuillbox.LoadFileOutlookInfo()", [&] {
        static const std::pair<const wchar_t*, const wchar_t*> pictures[] = {
            {L"OutlookMail", L"Mail"},
            {L"OutlookContact", L"Contact"},
            {L"OutlookTask", L"Task"},
            {L"OutlookAppointment", L"Appointment"},
            {L"OutlookNote", L"Note"}};
        for (const auto& [type, picture] : pictures)
            if (pstrType == type) headerPicture_ = picture;
        ::InvalidateRect(control(L"picIcon"), nullptr, TRUE);
    });
}

void frmQuillbox::draw(std::wstring_view control, HDC dc, const RECT& area) {
    if (control != L"picIcon") return;
    if (fi && fi->hIcon()) {
        ::DrawIcon(dc, 0, 0, fi->hIcon());
    } else if (int picture = ui::itemKindPicture(headerPicture_); picture >= 0) {
        if (!kindPictures_) kindPictures_ = ui::itemKindPictures();
        ImageList_Draw(kindPictures_, picture, dc, area.left, area.top, ILD_TRANSPARENT);
    }
}

void frmQuillbox::LoadSelectView() {
    automation::qualified(L"frmQuillbox.LoadSelectView()", [&] {
        Object lookup = createObject(contract::progid::View);
        lookup.call(L"loaddata", {SelectedViewId});
        Object view = lookup.callObject(L"GetOne");
        if (!view.isNothing()) {
            setText(L"cmdView", view.get(L"ViewName").toText());
        } else {
            for (const Object& first : createObject(contract::progid::View).callObject(L"GetAll").items()) {
                SelectedViewId = first.get(L"ViewId").toShort();
                setText(L"cmdView", first.get(L"ViewName").toText());
                break;
            }
        }
        support::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, std::to_wstring(SelectedViewId));
    });
}

void frmQuillbox::cmdView_Click() {
    event(L"cmdView_Click", [&] {
        Object view = createObject(L"Lenspick.Engine").callObject(L"showviews");
        if (!view.isNothing()) {
            SelectedViewId = view.get(L"ViewId").toShort();
            setText(L"cmdView", view.get(L"ViewName").toText());
            support::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, std::to_wstring(SelectedViewId));
        }
        LoadKWRelationed();
        LoadKeyWord();
        LoadMemoRelationed();
        ::SetFocus(control(L"cmdOk"));
    });
}

void frmQuillbox::CheckState1_ChangeView(short viewId) {
    event(L"CheckState1_ChangeView", [&] {
        SelectedViewId = viewId;
        LoadSelectView();
        LoadKWRelationed();
        LoadKeyWord();
        LoadMemoRelationed();
        LoadFileRelationed();
    });
}

void frmQuillbox::CheckState1_ChangeState() {
    support::services().prompter->messageBox(
        handle(), L"Your connection with Vellumdex Server to changed state, because of it this window will be closed.",
        L"Vellumdex", MB_OK | MB_ICONINFORMATION);
    stopWatching();
    unload();
}

void frmQuillbox::cmdUpdateData_Click() {
    event(L"cmdUpdateData_Click", [&] {
        const std::wstring name = text(L"txtNameUpdate"), path = text(L"txtPathUpdate");
        oFileSelected.call(L"UpDateName", {name});
        oFileSelected.call(L"UpDatePath", {path});
        oFileSelected.call(L"UpDateComment", {text(L"txtComment")});
        oFileSelected.call(L"loaddata", {Arg(oFileSelected.get(contract::field::FileId)), name,
                                         Arg(oFileSelected.get(contract::field::FileType)), path});
    });
}

void frmQuillbox::cmdOk_Click() { hide(); }

void frmQuillbox::startWatching() {
    checkState_ = createObject(L"Statewatch.CheckState");
    if (auto container = checkState_.ptr().query<IConnectionPointContainer>()) {
        automation::ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_CheckStateEvents, point.put()))) {
            sink_ = automation::makeObject<StateSink>(this);
            if (FAILED(point->Advise(sink_.get(), &cookie_))) cookie_ = 0;
        }
    }
    checkState_.call(L"StartCheck");
}

void frmQuillbox::stopWatching() {
    automation::ignoreFailure([&] {
        if (sink_) static_cast<StateSink*>(sink_.get())->detach();
        if (cookie_) {
            if (auto container = checkState_.ptr().query<IConnectionPointContainer>()) {
                automation::ComPtr<IConnectionPoint> point;
                if (SUCCEEDED(container->FindConnectionPoint(DIID_CheckStateEvents, point.put()))) point->Unadvise(cookie_);
            }
        }
        if (!checkState_.isNothing()) checkState_.call(L"StopCheck");
    });
    cookie_ = 0;
    sink_.reset();
    checkState_ = Object();
}

void frmQuillbox::textChanged(std::wstring_view control) {
    if (control != L"txtFilter" || !isLoaded()) return;
    event(L"txtFilter_Change", [&] {
        filter_ = automation::trimBlanks(text(L"txtFilter"));
        ::CharLowerBuffW(filter_.data(), static_cast<DWORD>(filter_.size()));
        LoadKeyWord();
    });
}

void frmQuillbox::click(std::wstring_view control) {
    if (control == L"cmdOk") cmdOk_Click();
    else if (control == L"cmdView") cmdView_Click();
    else if (control == L"cmdUpdateData") cmdUpdateData_Click();
    else if (control == L"cmdUpdate") cmdUpdate_Click();
}

LRESULT frmQuillbox::notify(std::wstring_view control, NMHDR* header) {
    if (control == L"pvtreeKeys") {
        switch (header->code) {
            case NM_DBLCLK: {
                DWORD pos = ::GetMessagePos();
                POINT pt{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
                ::ScreenToClient(tree_.handle(), &pt);
                if (HTREEITEM node = tree_.hitTest(pt)) pvtreeKeys_LButtonDblClick(node);
                return 1;
            }
            case TVN_KEYDOWN:
                if (reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey == VK_RETURN && tree_.selected())
                    pvtreeKeys_LButtonDblClick(tree_.selected());
                return 0;
            case TVN_BEGINDRAGW:
                automation::ignoreFailure([&] { startDragFromTree(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem); });
                return 0;
            default: return 0;
        }
    }
    if (control == L"lstKeyRel") {
        switch (header->code) {
            case NM_DBLCLK: lstKeyRel_DblClick(); return 0;
            case LVN_KEYDOWN: {
                WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
                if (key == VK_RETURN || key == VK_DELETE) lstKeyRel_DblClick();
                return 0;
            }
            case LVN_BEGINDRAG:
                automation::ignoreFailure([&] { startDragFromList(reinterpret_cast<NMLISTVIEW*>(header)->iItem); });
                return 0;
            case NM_RCLICK: {
                HMENU menu = ::CreatePopupMenu();
                ::AppendMenuW(menu, MF_STRING, kAddKeywordCommand, L"Add New Keyword");
                POINT pt;
                ::GetCursorPos(&pt);
                UINT chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, handle(), nullptr);
                ::DestroyMenu(menu);
                if (chosen == kAddKeywordCommand) mnu_AddKeyWord_Click();
                return 0;
            }
            default: return 0;
        }
    }
    return 0;
}

void frmQuillbox::startDragFromTree(HTREEITEM node) {
    if (!node) return;
    tree_.select(node);
    StartDrag = L"lstKey";
    draggedNode_ = tree_.selected();
    dragging_ = true;
    ::SetCapture(handle());
}

void frmQuillbox::startDragFromList(int item) {
    if (item < 0) return;
    related_.select(item);
    StartDrag = L"lstKeyRel";
    dragging_ = true;
    ::SetCapture(handle());
}

void frmQuillbox::endDrag(bool drop) {
    if (!dragging_) return;
    dragging_ = false;
    if (::GetCapture() == handle()) ::ReleaseCapture();
    if (!drop) return;
    POINT pt;
    ::GetCursorPos(&pt);
    HWND target = ::WindowFromPoint(pt);
    if (target == tree_.handle() || ::IsChild(tree_.handle(), target)) pvtreeKeys_OLEDragDrop();
    else if (target == related_.handle() || ::IsChild(related_.handle(), target)) lstKeyRel_OLEDragDrop();
}

bool frmQuillbox::message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!dragging_) return false;
            {
                // The drop effect: copy over the other list, none over the list the drag came from.
                POINT pt;
                ::GetCursorPos(&pt);
                HWND over = ::WindowFromPoint(pt);
                bool onTree = over == tree_.handle(), onList = over == related_.handle() || ::IsChild(related_.handle(), over);
                bool copy = (onList && StartDrag == L"lstKey") || (onTree && StartDrag == L"lstKeyRel");
                ::SetCursor(::LoadCursorW(nullptr, copy ? IDC_ARROW : IDC_NO));
            }
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (!dragging_) return false;
            endDrag(true);
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            if (dragging_) endDrag(false);
            return false;
        default:
            return false;
    }
}

void frmQuillbox::repaintUpdateButton() {
    HWND button = control(L"cmdUpdate");
    ::ShowWindow(button, SW_HIDE);
    ::UpdateWindow(handle());
    ::ShowWindow(button, SW_SHOW);
    ::UpdateWindow(handle());
}

}  // namespace qb::windows
