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

namespace {

// The system's text for a failed HRESULT; empty when it has none.
std::wstring systemMessage(HRESULT hr) {
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
    return text;
}

// The run-time errors an automation client knows by number, with the texts it shows for them.
struct KnownError {
    long number;
    const wchar_t* text;
};
constexpr KnownError kKnownErrors[] = {
    {3, L"Return without GoSub"},
    {5, L"Invalid procedure call or argument"},
    {6, L"Overflow"},
    {7, L"Out of memory"},
    {9, L"Subscript out of range"},
    {10, L"This array is fixed or temporarily locked"},
    {11, L"Division by zero"},
    {13, L"Type mismatch"},
    {14, L"Out of string space"},
    {17, L"Can't perform requested operation"},
    {28, L"Out of stack space"},
    {35, L"Sub or Function not defined"},
    {47, L"Too many DLL application clients"},
    {48, L"Error in loading DLL"},
    {49, L"Bad DLL calling convention"},
    {51, L"Internal error"},
    {52, L"Bad file name or number"},
    {53, L"File not found"},
    {54, L"Bad file mode"},
    {55, L"File already open"},
    {57, L"Device I/O error"},
    {58, L"File already exists"},
    {59, L"Bad record length"},
    {61, L"Disk full"},
    {62, L"Input past end of file"},
    {63, L"Bad record number"},
    {67, L"Too many files"},
    {68, L"Device unavailable"},
    {70, L"Permission denied"},
    {71, L"Disk not ready"},
    {74, L"Can't rename with different drive"},
    {75, L"Path/File access error"},
    {76, L"Path not found"},
    {91, L"Object variable or With block variable not set"},
    {92, L"For loop not initialized"},
    {93, L"Invalid pattern string"},
    {94, L"Invalid use of Null"},
    {322, L"Can't create necessary temporary file"},
    {364, L"Object was unloaded"},
    {400, L"Form already displayed; can't show modally"},
    {424, L"Object required"},
    {429, L"ActiveX component can't create object"},
    {430, L"Class does not support Automation or does not support expected interface"},
    {432, L"File name or class name not found during Automation operation"},
    {438, L"Object doesn't support this property or method"},
    {440, L"Automation error"},
    {445, L"Object doesn't support this action"},
    {446, L"Object doesn't support named arguments"},
    {447, L"Object doesn't support current locale setting"},
    {448, L"Named argument not found"},
    {449, L"Argument not optional"},
    {450, L"Wrong number of arguments or invalid property assignment"},
    {451, L"Property let procedure not defined and property get procedure did not return an object"},
    {452, L"Invalid ordinal"},
    {453, L"Specified DLL function not found"},
    {457, L"This key is already associated with an element of this collection"},
    {458, L"Variable uses an Automation type not supported in Visual Basic"},
    {459, L"Object or class does not support the set of events"},
    {460, L"Invalid clipboard format"},
    {461, L"Method or data member not found"},
    {462, L"The remote server machine does not exist or is unavailable"},
    {463, L"Class not registered on local machine"},
    {481, L"Invalid picture"},
    {482, L"Printer error"},
};

}  // namespace

std::wstring describeError(long number) {
    for (const KnownError& e : kKnownErrors)
        if (e.number == number) return e.text;
    // An HRESULT kept as the number: the system's message for it.
    if (number < 0) {
        if (std::wstring text = systemMessage(static_cast<HRESULT>(number)); !text.empty()) return text;
        wchar_t buf[48];
        std::swprintf(buf, 48, L"Automation error 0x%08lX", static_cast<unsigned long>(number));
        return buf;
    }
    return L"Application-defined or object-defined error";
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
        case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): number = err::FileNotFound; break;
        case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND): number = err::PathNotFound; break;
        case E_ACCESSDENIED: number = err::PermissionDenied; break;
        case HRESULT_FROM_WIN32(ERROR_FILE_EXISTS):
        case HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS): number = err::FileAlreadyExists; break;
        case HRESULT_FROM_WIN32(ERROR_DISK_FULL): number = err::DiskFull; break;
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
    return ComError(static_cast<long>(hr), describeError(static_cast<long>(hr)), std::move(source));
}

ComError ComError::fromExcepInfo(const EXCEPINFO& ei) {
    EXCEPINFO copy = ei;
    if (copy.pfnDeferredFillIn) copy.pfnDeferredFillIn(&copy);
    auto text = [](BSTR b) { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); };
    long number = copy.scode ? static_cast<long>(copy.scode) : copy.wCode;
    if ((static_cast<unsigned long>(number) & 0xFFFF0000UL) == 0x800A0000UL) number &= 0xFFFF;
    std::wstring description = text(copy.bstrDescription);
    if (description.empty()) description = describeError(number);
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
