#include "windows/pages/files_page.h"

#include <cwchar>

#include "automation/failure.h"
#include "contract/suite.h"
#include "shell/file_function.h"
#include "support/services.h"
#include "ui/look/pictures.h"

namespace qb::windows {
namespace {

using automation::Object;
using automation::Variant;
using automation::qualified;
using support::createObject;
namespace progid = contract::progid;
namespace field = contract::field;
namespace kind = contract::kind;

// The list's kind column and picture of each item kind that is no local file.
struct KindRow {
    const wchar_t* type;
    const wchar_t* shown;
    int picture;
};
const KindRow kOtherKinds[] = {
    {kind::OutlookMail, L"Outlook", 2},    {kind::OutlookTask, L"Outlook", 3}, {kind::OutlookContact, L"Outlook", 4},
    {kind::OutlookAppointment, L"Outlook", 5}, {kind::OutlookNote, L"Outlook", 6}, {kind::Web, L"Web", ui::kWebPicture},
    {kind::Server, L"Server", ui::kServerPicture},
};

constexpr wchar_t kOpenTitle[] = L"Attach a file";
constexpr wchar_t kOpenFilter[] = L"All files (*.*)|*.*";

}  // namespace

FilesPage::FilesPage(RelationContext context, AttachmentIcons::Lookup iconLookup)
    : ctx_(context), icons_(std::move(iconLookup)) {
    lstFileRel.checkBoxes = true;
    lstFileRel.onNotify = [this](NMHDR* header) { return listNotify(header); };
    cmdAddAttach.onClick = [this] { cmdAddAttach_Click(); };
    cmdDelAttach.onClick = [this] { cmdDelAttach_Click(); };
    cmdOpen.onClick = [this] { cmdOpen_Click(); };
}

ui::LayoutTable FilesPage::layout(int page) {
    return ui::onPage(page, {{lblFiles, {L"lblFiles", L"&File Relations", {240, 480, 7500, 240}}},
                             {lstFileRel, {L"lstFileRel", L"", {240, 750, 7500, 4140}, 0,
                                           {}, L"File Relations"}},
                             {cmdAddAttach, {L"cmdAddAttach", L"&Add", {240, 5040, 1320, 375}}},
                             {cmdDelAttach, {L"cmdDelAttach", L"Re&move", {1680, 5040, 1320, 375}}},
                             {cmdOpen, {L"cmdOpen", L"&Open", {6420, 5040, 1320, 375}}}});
}

void FilesPage::prepare() {
    icons_.forget(ui::pictureSize(16, ctx_.window.dpi().y));
    tips_.clear();
    lstFileRel.setImageList(icons_.images());  // shared: the page owns it
    lstFileRel.addColumn(L"File", lstFileRel.clientWidth() - ui::twipsToPixels(300, ctx_.window.dpi().x));
    lstFileRel.addColumn(L"Kind", 0);
    // Files can be dropped once the list shows. They are attached once the shell's drag has
    // ended: suite calls and message boxes inside IDropTarget::Drop would keep the file manager's
    // drag loop blocked.
    lstFileRel.whenMade([this] {
        drop_ = ui::FileDropRegistration(lstFileRel.handle(), [this](const std::vector<std::wstring>& paths) {
            ctx_.window.post([this, paths] { lstFileRel_OLEDragDrop(paths); });
        });
    });
}

void FilesPage::LoadFileRelationed() {
    qualified(ctx_.qualified(L"LoadFileRelationed"), [&] {
        struct Filling {
            FilesPage& page;
            Filling(FilesPage& p) : page(p) {
                page.filling_ = true;
                page.lstFileRel.setRedraw(false);
            }
            ~Filling() {
                page.lstFileRel.setRedraw(true);
                page.filling_ = false;
            }
        } filling{*this};
        // Emptied first: whatever fails below, the list shows nothing that is not stored.
        lstFileRel.clear();
        tips_.clear();
        icons_.rebuilding();
        ctx_.window.setCaption(L"Relations - " + ctx_.item.get(field::FileName).toText());
        const long self = ctx_.fileId();
        Object pairs = createObject(progid::Attach);
        pairs.call(L"loaddata", {self});
        automation::MemberIds pairIds;
        pairs.callObject(L"GetByAttach").forEach([&](const Variant& item) {
            Object pair = Object::from(item);
            const long first = pair.get(pairIds, L"Attach1").toLong();
            const long other = first == self ? pair.get(pairIds, L"Attach2").toLong() : first;
            Object lookup = createObject(progid::File);
            lookup.call(L"loaddata", {other});
            Get_Icon(lookup.callObject(L"GetOneById"));
        });
    });
}

void FilesPage::resync(const automation::ComError& reported) noexcept {
    try {
        LoadFileRelationed();
    } catch (...) {
        support::logUnlessReported(reported, ctx_.qualified(L"resync"));
    }
}

void FilesPage::Get_Icon(const Object& record) {
    qualified(ctx_.qualified(L"Get_Icon"), [&] {
        if (record.isNothing()) throw automation::ComError::runtime(automation::err::ObjectNotSet);
        const std::wstring type = record.get(field::FileType).toText();
        const std::wstring path = record.get(field::FileCurrentPath).toText();
        const wchar_t* shown = nullptr;
        int picture = 0;
        if (type == kind::File) {
            shown = L"File";
            picture = shell::FSOFileExist(path) ? icons_.pictureOf(path) : ui::kMissingFilePicture;
        } else {
            for (const KindRow& k : kOtherKinds)
                if (type == k.type) shown = k.shown, picture = k.picture;
        }
        if (!shown)
            throw automation::ComError(automation::err::InvalidProcedureCall,
                                       L"The attached item " + record.get(field::FileId).toText() +
                                           L" is of a kind that cannot be shown: \"" + type + L"\".");
        // Everything read before the row goes in: a row is whole or not there.
        const std::wstring name = record.get(field::FileName).toText();
        const long id = record.get(field::FileId).toLong();
        const int row = lstFileRel.add(name, id, picture);
        lstFileRel.setSubItem(row, 1, shown);
        tips_.push_back(path);
    });
}

void FilesPage::OpenItem() {
    qualified(ctx_.qualified(L"OpenItem"), [&] {
        const int row = lstFileRel.selected();
        if (row < 0) return;
        const std::wstring shown = lstFileRel.subItem(row, 1), tip = toolTip(row);
        if (shown == L"File") shell::OpenFileLocal(tip, ctx_.window.handle());
        else if (shown == L"Web") shell::OpenFileWeb(tip, ctx_.window.handle());
        else if (shown == L"Server") shell::OpenFileServer(tip);
        else if (shown == L"Outlook") shell::OpenFileOutlook(tip);
    });
}

bool FilesPage::attach(const std::wstring& path) {
    Object record = createObject(progid::ItemLoader).callObject(L"LoadFileObject", {path, true});
    if (record.isNothing()) return false;
    Object pair = createObject(progid::Attach);
    pair.call(L"loaddata", {ctx_.fileId(), record.get(field::FileId)});
    pair.call(L"Insert");
    return true;
}

void FilesPage::cmdAddAttach_Click() {
    ctx_.window.event(L"cmdAddAttach_Click", [&] {
        const std::wstring path = support::services().files->openFile(ctx_.window.handle(), kOpenTitle, kOpenFilter);
        if (path.empty()) return;
        if (!attach(path)) return;
        LoadFileRelationed();
    });
}

// A drop or a removal that fails halfway has stored part of it: after the report the list is
// read again, so that it shows what is stored.
void FilesPage::lstFileRel_OLEDragDrop(const std::vector<std::wstring>& paths) {
    const auto failure = ctx_.window.eventFailure(L"lstFileRel_OLEDragDrop", [&] {
        for (const std::wstring& path : paths) attach(path);  // each file as "Add" attaches one
        LoadFileRelationed();
    });
    if (failure && ctx_.window.isLoaded()) resync(*failure);
}

void FilesPage::cmdDelAttach_Click() {
    const auto failure = ctx_.window.eventFailure(L"cmdDelAttach_Click", [&] {
        for (int row = 0; row < lstFileRel.count(); ++row) {
            if (!lstFileRel.checked(row)) continue;
            Object pair = createObject(progid::Attach);
            pair.call(L"loaddata", {ctx_.fileId(), lstFileRel.tag(row)});
            pair.call(L"GetOne");
            if (pair.call(L"ExistRegister").toBool()) pair.call(L"Delete");
        }
        LoadFileRelationed();
    });
    if (failure && ctx_.window.isLoaded()) resync(*failure);
}

void FilesPage::cmdOpen_Click() {
    ctx_.window.event(L"cmdOpen_Click", [&] { OpenItem(); });
}

void FilesPage::lstFileRel_DblClick() {
    ctx_.window.event(L"lstFileRel_DblClick", [&] { OpenItem(); });
}

void FilesPage::lstFileRel_ItemClick(int item) { lstFileRel.setChecked(item, !lstFileRel.checked(item)); }

void FilesPage::lstFileRel_ItemCheck(int item) { lstFileRel.select(item); }

LRESULT FilesPage::listNotify(NMHDR* header) {
    switch (header->code) {
        case NM_CLICK: {
            auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
            LVHITTESTINFO hit{};
            hit.pt = click->ptAction;
            const int item = ListView_SubItemHitTest(lstFileRel.handle(), &hit);
            // A click on the box itself toggles it already.
            if (item >= 0 && !(hit.flags & LVHT_ONITEMSTATEICON)) lstFileRel_ItemClick(item);
            return 0;
        }
        case LVN_ITEMCHANGED: {
            auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            const UINT was = change->uOldState & LVIS_STATEIMAGEMASK, now = change->uNewState & LVIS_STATEIMAGEMASK;
            // A box that existed and changed (a new row gets its box as it goes in).
            if (!filling_ && change->iItem >= 0 && (change->uChanged & LVIF_STATE) && was && now && was != now)
                lstFileRel_ItemCheck(change->iItem);
            return 0;
        }
        case NM_DBLCLK:
            lstFileRel_DblClick();
            return 0;
        case LVN_KEYDOWN:
            if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_RETURN) lstFileRel_DblClick();
            return 0;
        case LVN_GETINFOTIPW: {
            auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
            if (tip->iItem >= 0 && static_cast<size_t>(tip->iItem) < tips_.size() && tip->pszText && tip->cchTextMax > 0) {
                const std::wstring& text = tips_[static_cast<size_t>(tip->iItem)];
                wcsncpy(tip->pszText, text.c_str(), static_cast<size_t>(tip->cchTextMax) - 1);
                tip->pszText[tip->cchTextMax - 1] = L'\0';
            }
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace qb::windows
