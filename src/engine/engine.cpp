#include "engine/engine.h"

#include "automation/failure.h"
#include "automation/module.h"
#include "automation/text.h"
#include "contract/suite.h"
#include "shell/module_ie.h"
#include "support/error_report.h"
#include "support/services.h"
#include "engine/slots.h"
#include "windows/dialogs/exist_file_server.h"

namespace qb::engine {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
using automation::qualified;
using support::createObject;
namespace progid = contract::progid;
namespace field = contract::field;

constexpr size_t kNameLimit = 40;

// The frame of an operation: failures leave with the operation's name appended, and the class
// factories looked up meanwhile are kept until it returns.
template <class F>
void operation(const wchar_t* name, F&& body) {
    automation::FactoryReuse reuse(*support::services().objects);
    qualified(name, std::forward<F>(body));
}

// The server item window for a record of kind "Server", the slot's window reused (Engine step 4
// of the web operations).
void showServerItem(const Object& record) {
    windows::frmRelationServer& window = formSlots().relationServer.reuse();
    window.oFileSelected = record;
    window.strUrl = window.oFileSelected.get(field::FileCurrentPath).toText();
    window.blnEditMemo = true;
    // The window stays in its slot for the next call, which loads it again; what it holds of the
    // suite goes with this operation.
    struct Release {
        windows::frmRelationServer& w;
        ~Release() {
            w.unload();
            w.oFileSelected = Object();
        }
    } release{window};
    window.load();  // touching its path box loads it
    window.info.txtPathUpdate.setEnabled(false);
    window.showModal();
}

// The web page window: a fresh one, with the page's record and address; `memo` is the text
// proposed for the page's memo, `recommended` lets the suite relate the keywords it recommends
// for that text, `editMemo` is the edition's flag.
void showWebPage(const Object& record, const std::wstring& memo, bool recommended, bool editMemo) {
    auto lease = formSlots().relationWeb.renew();
    windows::frmRelationWeb& window = *lease;
    window.oFileSelected = record;
    window.strUrl = window.oFileSelected.get(field::FileCurrentPath).toText();
    window.strMemo = memo;
    window.blnRecomendedKW = recommended;
    if (editMemo) window.blnEditMemo = true;
    window.showModal();
}

bool isServerItem(const Object& record) { return record.get(field::FileType).toText() == contract::kind::Server; }

// Common frame of the edit operations: fresh dialog, record from the loader, modal show, release.
template <class Dialog>
void showEditDialog(windows::FormSlot<Dialog>& slot, const std::wstring& path, const wchar_t* name) {
    operation(name, [&] {
        auto lease = slot.renew();
        Dialog& dialog = *lease;
        Object loader = createObject(progid::ItemLoader);
        dialog.oFileSelected = loader.callObject(L"LoadFileObject", {path, false});
        if (dialog.oFileSelected.isNothing()) return;
        dialog.showModal();
    });
}

// The Engines alive on this thread.
thread_local int t_engines = 0;

}  // namespace

Engine::Engine() { ++t_engines; }

Engine::~Engine() {
    if (--t_engines > 0) return;
    automation::ignoreFailure([] {
        formSlots().clear();
        windows::existFileServerSlot().clearUnlessShown();
    });
}

bool windowsAlive() { return ui::Form::liveWindows() > 0; }

std::wstring Engine::titleFromAddress(const std::wstring& address) {
    auto slash = address.find_last_of(L'/');
    std::wstring last = slash == std::wstring::npos ? address : address.substr(slash + 1);
    return last.empty() ? address : last;
}

void Engine::ShowEditName(const std::wstring& pstrPath) {
    showEditDialog(formSlots().editName, pstrPath, L"Engine.ShowEditName()");
}

void Engine::ShowEditComment(const std::wstring& pstrPath) {
    showEditDialog(formSlots().editComment, pstrPath, L"Engine.ShowEditComment()");
}

void Engine::ShowEditPath(const std::wstring& pstrPath) {
    showEditDialog(formSlots().editPath, pstrPath, L"Engine.ShowEditPath()");
}

void Engine::ShowRelation(const std::wstring& pstrPath) {
    operation(L"Engine.ShowRelation()", [&] {
        auto lease = formSlots().quillbox.renew();
        windows::frmQuillbox& window = *lease;
        Object loader = createObject(progid::ItemLoader);
        window.oFileSelected = loader.callObject(L"LoadFileObject", {pstrPath, true});
        if (window.oFileSelected.isNothing()) return;
        window.m_UserFile = pstrPath;
        window.LoadFileInfo(pstrPath);
        if (createObject(progid::Gatehouse).get(L"StateConnection").toLong() == 0)
            window.ssTab.setPageEnabled(windows::frmQuillbox::kServerTab, false);
        window.showModal();
    });
}

void Engine::ShowAllItemsRelation(const std::wstring& pstrPath) {
    operation(L"Engine.ShowAllItemsRelation()", [&] {
        Object lookup = createObject(progid::File);
        lookup.call(L"loaddata", {Arg::missing(), Arg::missing(), Arg::missing(), pstrPath});
        Object found = lookup.callObject(L"GetOne");
        if (found.isNothing()) return;
        auto lease = formSlots().quillbox.renew();
        windows::frmQuillbox& window = *lease;
        Object loader = createObject(progid::ItemLoader);
        const bool localFile = found.get(field::FileType).toText() == contract::kind::File;
        const std::wstring name = found.get(field::FileName).toText().substr(0, kNameLimit);
        const std::wstring type = found.get(field::FileType).toText();
        if (localFile) {
            window.oFileSelected = loader.callObject(L"LoadFileObject", {pstrPath, true});
        } else {
            window.oFileSelected = loader.callObject(
                L"LoadFileOutlookObject", {found.get(field::FileCurrentPath).toText(), name, type, true});
        }
        if (window.oFileSelected.isNothing()) return;
        if (localFile) {
            window.m_UserFile = pstrPath;
            window.LoadFileInfo(pstrPath);
            if (createObject(progid::Gatehouse).get(L"StateConnection").toLong() == 0)
                window.ssTab.setPageEnabled(windows::frmQuillbox::kServerTab, false);
        } else {
            window.m_UserFile = L"";
            window.LoadFileOutlookInfo(name, type);
            window.ssTab.setPageEnabled(windows::frmQuillbox::kServerTab, false);
        }
        window.showModal();
    });
}

void Engine::ShowRelationOutlook(const std::wstring& pstrEntryId, const std::wstring& pstrName,
                                 const std::wstring& pstrType) {
    operation(L"Engine.ShowRelationOutlook()", [&] {
        auto lease = formSlots().relationOutlook.renew();
        windows::frmRelationOutlook& window = *lease;
        Object loader = createObject(progid::ItemLoader);
        window.oFileSelected = loader.callObject(L"LoadFileOutlookObject",
                                                 {pstrEntryId, pstrName.substr(0, kNameLimit), pstrType, true});
        if (window.oFileSelected.isNothing()) return;
        window.m_UserFile = L"";
        window.showModal();
    });
}

void Engine::ShowRelationWeb(std::wstring pstrPath, std::wstring pstrTitle, const std::wstring& pstrMemo,
                             bool pRecomendedKW) {
    operation(L"Engine.ShowRelationWeb()", [&] {
        // Without an address or a title the page shown in the browser is meant.
        if (automation::trimBlanks(pstrPath).empty()) pstrPath = shell::GetBrowserUrl();
        if (automation::trimBlanks(pstrTitle).empty()) pstrTitle = shell::GetBrowserTitle();
        if (automation::trimBlanks(pstrTitle).empty()) pstrTitle = titleFromAddress(pstrPath);
        Object loader = createObject(progid::ItemLoader);
        Object record = loader.callObject(L"LoadFileWeb", {pstrPath, pstrTitle, true});
        if (record.isNothing()) return;
        if (isServerItem(record)) return showServerItem(record);
        showWebPage(record, pstrMemo, pRecomendedKW, false);
    });
}

void Engine::ShowRelationWebEdition(const std::wstring& pstrPath) {
    operation(L"Engine.ShowRelationWebEdition()", [&] {
        formSlots().relationWeb.renew();  // the earlier window goes first
        Object loader = createObject(progid::ItemLoader);
        Object record = loader.callObject(L"LoadFileWeb", {pstrPath, Arg::missing(), false});
        if (record.isNothing()) return;
        if (isServerItem(record)) return showServerItem(record);
        showWebPage(record, L"", false, true);
    });
}

automation::Variant Engine::UploadXXX() {
    const std::wstring title = automation::kComponentSource;
    support::handleEvent(nullptr, title, L"Engine.UploadXXX()", [&] {
        auto& prompt = *support::services().prompter;
        prompt.messageBox(nullptr, L"UploadXXX entered.", title, MB_OK | MB_ICONINFORMATION);
        const std::wstring file = automation::moduleFolder() + L"\\UploadXXX.txt";
        prompt.messageBox(nullptr, file, title, MB_OK | MB_ICONINFORMATION);
        Object gate = createObject(progid::Gatehouse);
        std::wstring answer = gate.call(L"UploadFile", {file}).toText();
        prompt.messageBox(nullptr, answer, title, MB_OK | MB_ICONINFORMATION);
    });
    return automation::Variant();
}

const automation::MemberTable& Engine::members() const {
    using automation::CallArgs;
    // Declared in dispatch id order, with the parameter names of the type library.
    static const automation::MemberTable table = [] {
        automation::MemberTable t;
        t.method<Engine>(L"ShowEditName", {L"pstrPath"},
                         [](Engine& e, const CallArgs& a) { e.ShowEditName(a.requiredText(0)); });
        t.method<Engine>(L"ShowEditComment", {L"pstrPath"},
                         [](Engine& e, const CallArgs& a) { e.ShowEditComment(a.requiredText(0)); });
        t.method<Engine>(L"ShowEditPath", {L"pstrPath"},
                         [](Engine& e, const CallArgs& a) { e.ShowEditPath(a.requiredText(0)); });
        t.method<Engine>(L"ShowRelation", {L"pstrPath"},
                         [](Engine& e, const CallArgs& a) { e.ShowRelation(a.requiredText(0)); });
        t.method<Engine>(L"ShowAllItemsRelation", {L"pstrPath"},
                         [](Engine& e, const CallArgs& a) { e.ShowAllItemsRelation(a.requiredText(0)); });
        t.method<Engine>(L"ShowRelationOutlook", {L"pstrEntryId", L"pstrName", L"pstrType"},
                         [](Engine& e, const CallArgs& a) {
                             e.ShowRelationOutlook(a.requiredText(0), a.requiredText(1), a.requiredText(2));
                         });
        t.method<Engine>(L"ShowRelationWeb", {L"pstrPath", L"pstrTitle", L"pstrMemo", L"pRecomendedKW"},
                         [](Engine& e, const CallArgs& a) { e.ShowRelationWeb(a.text(0), a.text(1), a.text(2), a.flag(3)); });
        t.method<Engine>(L"ShowRelationWebEdition", {L"pstrPath"},
                         [](Engine& e, const CallArgs& a) { e.ShowRelationWebEdition(a.requiredText(0)); });
        t.method<Engine>(L"UploadXXX", {}, [](Engine& e, const CallArgs&) { return e.UploadXXX(); });
        return t;
    }();
    return table;
}

void* Engine::interfaceFor(REFIID iid) {
    return automation::answer(iid, {{IID_IDispatch, asDispatch()},
                                    {DIID_Engine, asDispatch()},
                                    {IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(&errorInfo_)}});
}

automation::ComPtr<ITypeInfo> Engine::typeInfo() {
    if (!typeInfo_) {
        // The type library is a resource of the module; without one (a test program) there is none.
        automation::ComPtr<ITypeLib> lib;
        if (SUCCEEDED(::LoadTypeLibEx(automation::modulePath().c_str(), REGKIND_NONE, lib.put())))
            lib->GetTypeInfoOfGuid(DIID_Engine, typeInfo_.put());
    }
    return typeInfo_;
}

automation::ComPtr<IDispatch> createEngine() { return automation::makeObject<Engine>(); }

}  // namespace qb::engine
