#include "mail/mail.h"
#include "base/per_thread.h"

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <vector>

#include "automation/com_error.h"
#include "ui/window/form.h"

namespace mail {
namespace {

using qb::automation::ComError;
using qb::automation::ComPtr;
using qb::automation::makeObject;
constexpr long kMailError = static_cast<long>(0x80040000L + 0x10F);  // MAPI_E_NOT_FOUND's neighbourhood

// Outlook's item classes by message class.
long itemClass(const std::wstring& messageClass) {
    if (messageClass.starts_with(L"IPM.Contact")) return 40;
    if (messageClass.starts_with(L"IPM.Task")) return 48;
    if (messageClass.starts_with(L"IPM.Appointment")) return 26;
    if (messageClass.starts_with(L"IPM.StickyNote")) return 44;
    return 43;
}

// Windows opened by Display: they live until the user closes them.
class Inspector final : public qb::ui::Form {
public:
    explicit Inspector(const MailData& d)
        : Form({L"frmInspector", d.subject.empty() ? L"(no subject)" : d.subject, 7200, 4320, RGB(255, 255, 255)}),
          body_(d.body) {
        cmdClose.isDefault = cmdClose.isCancel = true;
        cmdClose.onClick = [this] { unload(); };
        place({{txtBody, {L"txtBody", L"", {120, 120, 6960, 3540}, 0, {}, L"Message"}},
               {cmdClose, {L"cmdClose", L"Close", {6000, 3840, 1080, 360}}}});
    }
    qb::ui::MultiLineTextBox txtBody;
    qb::ui::Button cmdClose;

protected:
    void formLoad() override { txtBody.setText(body_); }

private:
    std::wstring body_;
};

std::vector<std::unique_ptr<Inspector>>& inspectors() {
    return qb::perThread<std::vector<std::unique_ptr<Inspector>>>();
}

class MailItem final : public qb::automation::DispatchObject {
public:
    explicit MailItem(MailData d) : d_(std::move(d)) {}

protected:
    const MemberTable& members() const override {
        static const MemberTable t = [] {
            MemberTable m;
            m.property<MailItem>(L"EntryID", [](MailItem& i) { return i.d_.entryId; });
            m.property<MailItem>(L"Subject", [](MailItem& i) { return i.d_.subject; });
            m.property<MailItem>(L"Body", [](MailItem& i) { return i.d_.body; });
            m.property<MailItem>(L"MessageClass", [](MailItem& i) { return i.d_.messageClass; });
            m.property<MailItem>(L"Class", [](MailItem& i) { return itemClass(i.d_.messageClass); });
            m.method<MailItem>(L"Display", [](MailItem& i, const CallArgs&) {
                auto& open = inspectors();
                std::erase_if(open, [](const auto& w) { return !w->isLoaded(); });
                open.push_back(std::make_unique<Inspector>(i.d_));
                open.back()->load();
                ::ShowWindow(open.back()->handle(), SW_SHOWNORMAL);
            });
            m.method<MailItem>(L"SaveAs", [](MailItem& i, const CallArgs& a) {
                a.require(0);
                long type = a.number(1, 3);
                if (type != 3 && type != 9) throw ComError(kMailError, L"Only message files can be saved.", L"Outlook");
                writeMessageFile(a.value(0).toText(), i.d_);
            });
            return m;
        }();
        return t;
    }

public:
    const MailData& data() const { return d_; }

private:
    MailData d_;
};

class Namespace final : public tesra::SuiteObject {
public:
    explicit Namespace(std::shared_ptr<tesra::Database> db) : SuiteObject(std::move(db)) {}

protected:
    const MemberTable& members() const override {
        static const MemberTable t = [] {
            MemberTable m;
            // Logon(Profile, Password, ShowDialog, NewSession), all optional. A profile, when
            // named, is the mail client's own (setting MailProfile, "Outlook" by default); the
            // call as made is kept in the setting MailLastLogon ("-" for an argument left out).
            m.method<Namespace>(L"Logon", [](Namespace& n, const CallArgs& a) {
                if (a.count() > 4) throw ComError::fromHResult(DISP_E_BADPARAMCOUNT, L"Outlook");
                const std::wstring profile = a.text(0), password = a.text(1);
                if (!profile.empty() && profile != n.db().setting(L"MailProfile", L"Outlook"))
                    throw ComError(kMailError, L"The profile name is not valid. Enter a valid profile name.", L"Outlook");
                auto shown = [&](size_t i, const std::wstring& text) { return a.has(i) ? text : std::wstring(L"-"); };
                auto flag = [&](size_t i) { return shown(i, a.flag(i) ? L"True" : L"False"); };
                n.db().setSetting(L"MailLastLogon", shown(0, profile) + L"|" + shown(1, password) + L"|" + flag(2) + L"|" + flag(3));
                n.loggedOn_ = true;
            });
            m.method<Namespace>(L"Logoff", [](Namespace& n, const CallArgs&) { n.loggedOn_ = false; });
            // The item, or Nothing when the store has none with that id.
            m.method<Namespace>(L"GetItemFromID", [](Namespace& n, const CallArgs& a) {
                a.require(0);
                auto s = n.db().prepare("SELECT EntryID, Subject, Body, MessageClass FROM outlook_items WHERE EntryID = ?");
                s.bind(1, a.value(0).toText());
                if (!s.step()) return Variant(static_cast<IDispatch*>(nullptr));
                return Variant(makeObject<MailItem>(MailData{s.text(0), s.text(1), s.text(2), s.text(3)}));
            });
            return m;
        }();
        return t;
    }

private:
    bool loggedOn_ = false;
};

void writeStream(IStorage* storage, const wchar_t* name, const void* data, ULONG size) {
    ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(name, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
    if (FAILED(hr)) throw ComError::fromHResult(hr, L"Redemption");
    ULONG written = 0;
    if (size && FAILED(hr = stream->Write(data, size, &written))) throw ComError::fromHResult(hr, L"Redemption");
}

}  // namespace

void writeMessageFile(const std::wstring& path, const MailData& item) {
    ComPtr<IStorage> storage;
    HRESULT hr = ::StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DIRECT,
                                    0, storage.put());
    if (FAILED(hr)) throw ComError::fromHResult(hr, L"Redemption");
    struct Prop {
        DWORD tag;
        const std::wstring* text;
    } props[] = {{0x001A001F, &item.messageClass}, {0x0037001F, &item.subject}, {0x1000001F, &item.body}};
    // Top-level property stream: a 32-byte header, then 16 bytes per property (tag, flags, size).
    std::vector<BYTE> table(32, 0);
    for (const Prop& p : props) {
        wchar_t name[32];
        swprintf(name, 32, L"__substg1.0_%08lX", static_cast<unsigned long>(p.tag));
        ULONG bytes = static_cast<ULONG>((p.text->size() + 1) * sizeof(wchar_t));
        writeStream(storage.get(), name, p.text->c_str(), bytes);
        DWORD entry[4] = {p.tag, 0x6 /* readable, writable */, bytes, 0};
        const BYTE* raw = reinterpret_cast<const BYTE*>(entry);
        table.insert(table.end(), raw, raw + sizeof entry);
    }
    writeStream(storage.get(), L"__properties_version1.0", table.data(), static_cast<ULONG>(table.size()));
    if (FAILED(hr = storage->Commit(STGC_DEFAULT))) throw ComError::fromHResult(hr, L"Redemption");
}

const MemberTable& Application::members() const {
    static const MemberTable t = [] {
        MemberTable m;
        m.method<Application>(L"GetNamespace", [](Application& app, const CallArgs& a) {
            if (_wcsicmp(a.text(0).c_str(), L"MAPI") != 0)
                throw ComError(qb::automation::err::InvalidProcedureCall, L"Only the MAPI namespace exists.", L"Outlook");
            return Variant(makeObject<Namespace>(app.connection()));
        });
        return m;
    }();
    return t;
}

const MemberTable& SafeMailItem::members() const {
    static const MemberTable t = [] {
        MemberTable m;
        m.property<SafeMailItem>(L"Item", [](SafeMailItem& s) { return Variant(s.item_.ptr()); });
        // `Set s.Item = item` and `s.Item = item` alike.
        auto take = [](SafeMailItem& s, const Variant& v) { s.item_ = qb::automation::Object::from(v); };
        m.assignable<SafeMailItem>(L"Item", take).assignableRef<SafeMailItem>(L"Item", take);
        m.method<SafeMailItem>(L"SaveAs", [](SafeMailItem& s, const CallArgs& a) {
            a.require(0);
            if (s.item_.isNothing()) throw ComError(qb::automation::err::ObjectNotSet, L"Item is not set.", L"Redemption");
            long type = a.number(1, 3);
            if (type != 3 && type != 9) throw ComError(kMailError, L"Only message files can be saved.", L"Redemption");
            if (s.db().setting(L"MailSaveFails", L"0") == L"1")
                throw ComError(static_cast<long>(STG_E_MEDIUMFULL), L"The message could not be saved: the disk is full.", L"Redemption");
            MailData d{s.item_.get(L"EntryID").toText(), s.item_.get(L"Subject").toText(), s.item_.get(L"Body").toText(),
                       s.item_.get(L"MessageClass").toText()};
            writeMessageFile(a.value(0).toText(), d);
        });
        m.property<SafeMailItem>(L"Subject", [](SafeMailItem& s) { return s.item_.get(L"Subject"); });
        m.property<SafeMailItem>(L"Body", [](SafeMailItem& s) { return s.item_.get(L"Body"); });
        return m;
    }();
    return t;
}

}  // namespace mail
