#include "windows/pages/info_page.h"

#include <algorithm>

#include "ui/look/pictures.h"
#include "windows/shared/local_copy.h"

namespace qb::windows {

using automation::Arg;

InfoPage::InfoPage(RelationContext context) : ctx_(context) {
    picIcon.onDraw = [this](HDC dc, const RECT& area) { drawHeader(dc, area); };
    cmdUpdateData.onClick = [this] { cmdUpdateData_Click(); };
}

ui::LayoutTable InfoPage::layout(int page, InfoPathLabel pathLabel) {
    return ui::onPage(page, {{picIcon, {L"picIcon", L"", {240, 480, 540, 540}, 0, {}, L"Kind of item"}},
                             {lblName, {L"lblName", L"&Name:", {960, 540, 840, 240}}},
                             {txtNameUpdate, {L"txtNameUpdate", L"", {1860, 480, 5880, 315}}},
                             {lblPath, {pathLabel.name, pathLabel.caption, {960, 960, 840, 240}}},
                             {txtPathUpdate, {L"txtPathUpdate", L"", {1860, 900, 5880, 315}}},
                             {lblComment, {L"lblComment", L"&Comment:", {960, 1380, 840, 240}}},
                             {txtComment, {L"txtComment", L"", {1860, 1320, 5880, 3600}}},
                             {cmdUpdateData, {L"cmdUpdateData", L"&Update Info", {6420, 5040, 1320, 375}}}});
}

void InfoPage::prepare() {
    shown_ = automation::Object();
    file_ = nullptr;
    headerPicture_.clear();
    if (cmdUpdateData.exists()) cmdUpdateData.setEnabled(false);
}

void InfoPage::showRecord() { show(ctx_.item); }

void InfoPage::showUploaded(const automation::Object& serverItem) {
    show(serverItem);
    txtPathUpdate.setEnabled(false);  // the server's own path
    showKindPicture(L"Server");
}

void InfoPage::show(const automation::Object& record) {
    shown_ = automation::Object();
    txtNameUpdate.setText(record.get(contract::field::FileName).toText());
    txtComment.setText(record.get(contract::field::FileComment).toText());
    txtPathUpdate.setText(record.get(contract::field::FileCurrentPath).toText());
    shown_ = record;
    cmdUpdateData.setEnabled(true);
}

void InfoPage::showFileIcon(const fileinfo::CFileInfo* file) {
    file_ = file;
    headerPicture_.clear();
    picIcon.spoken = file ? file->TypeName() : L"";
    picIcon.repaint();
}

void InfoPage::showKindPicture(const std::wstring& key) {
    file_ = nullptr;
    headerPicture_ = key;
    picIcon.spoken = key;
    picIcon.repaint();
}

void InfoPage::showOutlookKind(std::wstring type, bool anyCase) {
    static const std::pair<const wchar_t*, const wchar_t*> pictures[] = {{L"OutlookMail", L"Mail"},
                                                                         {L"OutlookContact", L"Contact"},
                                                                         {L"OutlookTask", L"Task"},
                                                                         {L"OutlookAppointment", L"Appointment"},
                                                                         {L"OutlookNote", L"Note"}};
    auto lower = [](std::wstring text) {
        ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
        return text;
    };
    if (anyCase) type = lower(std::move(type));
    for (const auto& [kind, picture] : pictures)
        if (type == (anyCase ? lower(kind) : std::wstring(kind))) return showKindPicture(picture);
}

void InfoPage::drawHeader(HDC dc, const RECT& area) {
    // At the size of the box, which follows the window's DPI.
    const int size = std::min(area.right - area.left, area.bottom - area.top);
    if (file_ && file_->hIcon()) {
        ::DrawIconEx(dc, area.left, area.top, file_->hIcon(), size, size, 0, nullptr, DI_NORMAL);
    } else if (int picture = ui::itemKindPicture(headerPicture_); picture >= 0) {
        if (!kindPictures_ || kindSize_ != size) kindPictures_ = ui::itemKindPictures(kindSize_ = size);
        ImageList_Draw(kindPictures_.get(), picture, dc, area.left, area.top, ILD_TRANSPARENT);
    }
}

// What is written goes to the record the boxes show (after an upload: the server item), and a
// path the user cannot edit (disabled, or read-only) is not written: it is the record's own.
void InfoPage::cmdUpdateData_Click() {
    ctx_.window.event(L"cmdUpdateData_Click", [&] {
        // A window whose load failed before the fields were shown never writes blanks over them.
        if (shown_.isNothing()) return;
        const automation::Object record = shown_;
        const std::wstring name = txtNameUpdate.text(), path = txtPathUpdate.text();
        const std::wstring named = L"Relations - " + record.get(contract::field::FileName).toText();
        std::vector<FieldChange> changes{{L"UpDateName", record.get(contract::field::FileName).toText(), name}};
        if (txtPathUpdate.enabled() && !txtPathUpdate.readOnly())
            changes.push_back({L"UpDatePath", record.get(contract::field::FileCurrentPath).toText(), path});
        changes.push_back({L"UpDateComment", record.get(contract::field::FileComment).toText(), txtComment.text()});
        // All three or none: a path or comment the suite refuses puts the name back.
        changeRecord(record, changes);
        // A caption that names the item names it as it is now.
        if (ctx_.window.caption() == named) ctx_.window.setCaption(L"Relations - " + name);
        record.call(L"loaddata", {Arg(record.get(contract::field::FileId)), name,
                                  Arg(record.get(contract::field::FileType)), path});
    });
}

}  // namespace qb::windows
