// earlyhost: a host that binds to Quillbox.Engine the way VBA, .NET or PowerShell do, for the
// end-to-end tests. It has a visible window of its own, as a host application has.
//   earlyhost LOCALFILE ADDRESS
// 1. creates the engine asking for its default dispinterface and checks ISupportErrorInfo;
// 2. makes an operation fail and reads IErrorInfo;
// 3. calls ShowRelationWeb with named arguments in another order (pstrTitle, then pstrPath): the
//    web page window opens (the test closes it);
// 4. opens ShowRelation on LOCALFILE; a timer calls ShowRelation again two seconds into the
//    window's modal loop; once the window is closed, tells which window is in front.
// Prints one line per step; ends with "earlyhost: done".
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

// {1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}: the coclass's default dispinterface.
constexpr IID DIID_Engine = {0x1fb0918f, 0xd26a, 0x4f20, {0xa1, 0x3e, 0xd4, 0xf5, 0xee, 0xe3, 0x3d, 0xc6}};

IDispatch* g_engine = nullptr;
const wchar_t* g_file = nullptr;

std::string narrow(const wchar_t* s) {
    if (!s) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s, -1, out.data(), n, nullptr, nullptr);
    return out;
}

DISPID idOf(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    g_engine->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// Calls a member with text arguments given last first (rgvarg order); prints the outcome.
HRESULT call(const char* label, DISPID id, std::initializer_list<const wchar_t*> rgvargTexts,
             std::initializer_list<DISPID> named = {}) {
    VARIANT args[4];
    UINT n = 0;
    for (const wchar_t* t : rgvargTexts) {
        args[n].vt = VT_BSTR;
        args[n++].bstrVal = ::SysAllocString(t);
    }
    DISPID names[4];
    UINT k = 0;
    for (DISPID d : named) names[k++] = d;
    DISPPARAMS dp{args, k ? names : nullptr, n, k};
    EXCEPINFO ei{};
    HRESULT hr = g_engine->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, nullptr, &ei, nullptr);
    for (UINT i = 0; i < n; ++i) ::VariantClear(&args[i]);
    if (hr == DISP_E_EXCEPTION)
        std::printf("%s: error %ld|%s\n", label, static_cast<long>(ei.scode & 0xFFFF), narrow(ei.bstrSource).c_str());
    else
        std::printf("%s: %s\n", label, SUCCEEDED(hr) ? "ok" : "failed");
    std::fflush(stdout);
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);
    return hr;
}

// The error object of the thread after a raised error, read as a .NET host reads it.
void printErrorInfo() {
    IErrorInfo* info = nullptr;
    if (::GetErrorInfo(0, &info) == S_OK && info) {
        BSTR source = nullptr, description = nullptr;
        info->GetSource(&source);
        info->GetDescription(&description);
        std::printf("errorinfo: %s|%s\n", narrow(source).c_str(), narrow(description).c_str());
        ::SysFreeString(source);
        ::SysFreeString(description);
        info->Release();
    } else {
        std::puts("errorinfo: none");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    g_file = argv[1];
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    {
        CLSID clsid;
        if (FAILED(::CLSIDFromProgID(L"Quillbox.Engine", &clsid)) ||
            FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, DIID_Engine,
                                      reinterpret_cast<void**>(&g_engine)))) {
            std::puts("early binding: refused");
            return 1;
        }
        std::puts("early binding: ok");
        ISupportErrorInfo* support = nullptr;
        bool supports = SUCCEEDED(g_engine->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) &&
                        support->InterfaceSupportsErrorInfo(DIID_Engine) == S_OK;
        if (support) support->Release();
        std::printf("error info supported: %s\n", supports ? "yes" : "no");

        // e.ShowRelationWeb pstrTitle:="...", pstrPath:="..."
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"ShowRelationWeb"), const_cast<LPOLESTR>(L"pstrTitle"),
                            const_cast<LPOLESTR>(L"pstrPath")};
        DISPID ids[3] = {};
        g_engine->GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids);
        call("named", ids[0], {L"Minutes of the board", argv[2]}, {ids[1], ids[2]});

        HWND host = ::CreateWindowExW(0, L"STATIC", L"Early host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 320, 200,
                                      nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(host);
        UINT_PTR timer = ::SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR id, DWORD) WINAPI {
            ::KillTimer(nullptr, id);
            call("nested", idOf(L"ShowRelation"), {g_file});  // from inside the window's modal loop
            printErrorInfo();
        });
        call("first", idOf(L"ShowRelation"), {g_file});
        ::KillTimer(nullptr, timer);
        wchar_t front[128] = {};
        ::GetWindowTextW(::GetForegroundWindow(), front, 128);
        std::printf("foreground: %s\n", narrow(front).c_str());
        ::DestroyWindow(host);
        g_engine->Release();
    }
    ::CoUninitialize();
    std::puts("earlyhost: done");
    return 0;
}
