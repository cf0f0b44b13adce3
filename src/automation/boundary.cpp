#include "automation/boundary.h"

#include "automation/com_ptr.h"

namespace qb::automation {

HRESULT reportToCaller(const ComError& e, EXCEPINFO* excep, REFIID iid) {
    auto alloc = [](const std::wstring& s) { return ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())); };
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
        std::wstring src = e.source(), desc = e.description(), help = e.helpFile();
        create->SetGUID(iid);
        create->SetSource(src.data());
        create->SetDescription(desc.data());
        create->SetHelpFile(help.empty() ? nullptr : help.data());
        create->SetHelpContext(e.helpContext());
        auto info = create.query<IErrorInfo>();
        ::SetErrorInfo(0, info.get());
    }
    if (!excep) return e.hresult();
    *excep = EXCEPINFO{};
    excep->scode = e.hresult();
    excep->bstrSource = alloc(e.source());
    excep->bstrDescription = alloc(e.description());
    if (!e.helpFile().empty()) excep->bstrHelpFile = alloc(e.helpFile());
    excep->dwHelpContext = e.helpContext();
    return DISP_E_EXCEPTION;
}

}  // namespace qb::automation
