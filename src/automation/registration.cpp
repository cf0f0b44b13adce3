#include "automation/registration.h"

#include <objbase.h>
#include <olectl.h>

#include "automation/module.h"
#include "base/handles.h"


namespace qb::automation {
namespace {

LSTATUS setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY created = nullptr;
    LSTATUS s = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr);
    if (s != ERROR_SUCCESS) return s;
    const UniqueRegKey k(created);
    return ::RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS removeTree(const std::wstring& key) {
    LSTATUS s = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (s == ERROR_SUCCESS) s = ::RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return s == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : s;
}

}  // namespace

std::wstring guidText(const GUID& g) {
    wchar_t buf[40] = {};
    ::StringFromGUID2(g, buf, 40);
    return buf;
}

HRESULT registerClasses(const std::vector<ClassRegistration>& classes) {
    const std::wstring path = modulePath();
    for (const auto& c : classes) {
        const std::wstring clsidKey = L"CLSID\\" + guidText(c.clsid);
        LSTATUS s = ERROR_SUCCESS;
        auto step = [&](const std::wstring& key, const wchar_t* name, const std::wstring& value) {
            if (s == ERROR_SUCCESS) s = setValue(key, name, value);
        };
        step(clsidKey, nullptr, c.description);
        step(clsidKey + L"\\InprocServer32", nullptr, path);
        step(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        step(clsidKey + L"\\ProgID", nullptr, c.progId);
        step(c.progId, nullptr, c.description);
        step(c.progId + L"\\CLSID", nullptr, guidText(c.clsid));
        if (!c.typeLib.empty()) step(clsidKey + L"\\TypeLib", nullptr, c.typeLib);
        if (s != ERROR_SUCCESS) {
            unregisterClasses(classes);
            return s == ERROR_ACCESS_DENIED ? SELFREG_E_CLASS : HRESULT_FROM_WIN32(s);
        }
    }
    return S_OK;
}

HRESULT unregisterClasses(const std::vector<ClassRegistration>& classes) {
    HRESULT result = S_OK;
    for (const auto& c : classes) {
        for (const std::wstring& key : {L"CLSID\\" + guidText(c.clsid), c.progId}) {
            LSTATUS s = removeTree(key);
            if (s != ERROR_SUCCESS) result = SELFREG_E_CLASS;
        }
    }
    return result;
}

HRESULT registerTypeLibrary() {
    ITypeLib* lib = nullptr;
    HRESULT hr = ::LoadTypeLibEx(modulePath().c_str(), REGKIND_REGISTER, &lib);
    if (lib) lib->Release();
    return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

HRESULT unregisterTypeLibrary() {
    ITypeLib* lib = nullptr;
    HRESULT hr = ::LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &lib);
    if (FAILED(hr)) return SELFREG_E_TYPELIB;
    TLIBATTR* attr = nullptr;
    hr = lib->GetLibAttr(&attr);
    if (SUCCEEDED(hr)) {
        hr = ::UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        lib->ReleaseTLibAttr(attr);
    }
    lib->Release();
    return FAILED(hr) && hr != TYPE_E_REGISTRYACCESS ? SELFREG_E_TYPELIB : S_OK;
}

}  // namespace qb::automation
