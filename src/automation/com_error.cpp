#include "automation/com_error.h"

#include <cstdio>

namespace qb::automation {

ComError::ComError(long number, std::wstring description, std::wstring source, std::wstring helpFile,
                   DWORD helpContext)
    : number_(number),
      description_(std::move(description)),
      source_(std::move(source)),
      helpFile_(std::move(helpFile)),
      helpContext_(helpContext) {}

std::wstring describeError(long number) {
    switch (number) {
        case err::InvalidProcedureCall: return L"Invalid procedure call or argument";
        case err::Overflow: return L"Overflow";
        case err::OutOfMemory: return L"Out of memory";
        case err::SubscriptOutOfRange: return L"Subscript out of range";
        case err::TypeMismatch: return L"Type mismatch";
        case err::BadFileNameOrNumber: return L"Bad file name or number";
        case err::FileNotFound: return L"File not found";
        case err::PathFileAccess: return L"Path/File access error";
        case err::ObjectNotSet: return L"Object variable or With block variable not set";
        case err::CantCreateObject: return L"ActiveX component can't create object";
        case err::MemberNotSupported: return L"Object doesn't support this property or method";
        case err::ActionNotSupported: return L"Object doesn't support this action";
        case err::ArgumentNotOptional: return L"Argument not optional";
        case err::WrongArgumentCount: return L"Wrong number of arguments or invalid property assignment";
        default: return L"Application-defined or object-defined error";
    }
}

ComError ComError::runtime(long number, std::wstring detail) {
    std::wstring d = describeError(number);
    if (!detail.empty()) d += L": " + detail;
    return ComError(number, std::move(d), kComponentSource);
}

ComError ComError::fromHResult(HRESULT hr, std::wstring source) {
    if (source.empty()) source = kComponentSource;
    long number = 0;
    switch (hr) {
        case DISP_E_UNKNOWNNAME:
        case DISP_E_MEMBERNOTFOUND: number = err::MemberNotSupported; break;
        case DISP_E_TYPEMISMATCH: number = err::TypeMismatch; break;
        case DISP_E_OVERFLOW: number = err::Overflow; break;
        case DISP_E_BADPARAMCOUNT: number = err::WrongArgumentCount; break;
        case DISP_E_PARAMNOTOPTIONAL: number = err::ArgumentNotOptional; break;
        case E_OUTOFMEMORY: number = err::OutOfMemory; break;
        case REGDB_E_CLASSNOTREG:
        case CO_E_CLASSSTRING:
        case CO_E_DLLNOTFOUND:
        case CO_E_ERRORINDLL:
        case CLASS_E_CLASSNOTAVAILABLE: number = err::CantCreateObject; break;
        default: break;
    }
    if (number) return ComError(number, describeError(number), std::move(source));
    if ((static_cast<unsigned long>(hr) & 0xFFFF0000UL) == 0x800A0000UL)
        return ComError(hr & 0xFFFF, describeError(hr & 0xFFFF), std::move(source));
    // Any other failure: the HRESULT itself is the number, as an automation client shows it.
    wchar_t* msg = nullptr;
    std::wstring text;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&msg), 0, nullptr) &&
        msg) {
        text = msg;
        ::LocalFree(msg);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
    }
    if (text.empty()) {
        wchar_t buf[48];
        std::swprintf(buf, 48, L"Automation error 0x%08lX", static_cast<unsigned long>(hr));
        text = buf;
    }
    return ComError(static_cast<long>(hr), std::move(text), std::move(source));
}

ComError ComError::fromExcepInfo(const EXCEPINFO& ei) {
    EXCEPINFO copy = ei;
    if (copy.pfnDeferredFillIn) copy.pfnDeferredFillIn(&copy);
    auto text = [](BSTR b) { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); };
    long number = copy.scode ? static_cast<long>(copy.scode) : copy.wCode;
    if ((static_cast<unsigned long>(number) & 0xFFFF0000UL) == 0x800A0000UL) number &= 0xFFFF;
    std::wstring description = text(copy.bstrDescription);
    if (description.empty()) description = number > 0 && number < 65536 ? describeError(number) : L"Automation error";
    ComError e(number, description, text(copy.bstrSource), text(copy.bstrHelpFile), copy.dwHelpContext);
    if (copy.pfnDeferredFillIn) {  // the filled-in strings are ours now
        ::SysFreeString(copy.bstrDescription);
        ::SysFreeString(copy.bstrSource);
        ::SysFreeString(copy.bstrHelpFile);
    }
    return e;
}

HRESULT ComError::hresult() const {
    if (number_ > 0 && number_ < 65536) return static_cast<HRESULT>(0x800A0000L | number_);
    if (number_ < 0) return static_cast<HRESULT>(number_);
    return E_FAIL;
}

void ComError::appendSource(std::wstring_view qualifiedName) {
    source_ += L' ';
    source_ += qualifiedName;
    source_ += L' ';
}

}  // namespace qb::automation
