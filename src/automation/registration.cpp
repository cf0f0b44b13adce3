#include "automation/registration.h"

#include <objbase.h>
#include <olectl.h>

#include "automation/module.h"
#include "base/handles.h"

namespace qb::automation {
namespace {

// The proxy of every dispinterface: the automation marshaller (PSDispatch).
constexpr wchar_t kDispatchProxy[] = L"{00020420-0000-0000-C000-000000000046}";

LSTATUS setValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    HKEY created = nullptr;
    LSTATUS s = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr);
    if (s != ERROR_SUCCESS) return s;
    const UniqueRegKey k(created);
    return ::RegSetValueExW(k.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS removeTree(const std::wstring& key) {
    LSTATUS s = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (s == ERROR_SUCCESS) s = ::RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return s == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : s;
}

std::wstring typeLibKey(const TypeLibraryRegistration& t) { return L"TypeLib\\" + t.libId; }

// The keys that belong to the server alone: removed whole on unregistration.
std::vector<std::wstring> ownedKeys(const std::vector<ClassRegistration>& classes,
                                    const TypeLibraryRegistration* typeLib) {
    std::vector<std::wstring> keys;
    for (const auto& c : classes) {
        keys.push_back(L"CLSID\\" + guidText(c.clsid));
        keys.push_back(c.progId);
        if (!c.versionedProgId.empty()) keys.push_back(c.versionedProgId);
    }
    if (typeLib) {
        for (const auto& i : typeLib->dispinterfaces) keys.push_back(L"Interface\\" + guidText(i.iid));
        keys.push_back(typeLibKey(*typeLib) + L"\\" + typeLib->version);
    }
    return keys;
}

}  // namespace

std::wstring guidText(const GUID& g) {
    wchar_t buf[40] = {};
    ::StringFromGUID2(g, buf, 40);
    return buf;
}

std::vector<RegistryRow> registryRows(const std::vector<ClassRegistration>& classes,
                                      const TypeLibraryRegistration* typeLib, Platform platform) {
    std::vector<RegistryRow> rows;
    const std::wstring module(kModulePathToken);
    for (const auto& c : classes) {
        const std::wstring clsid = guidText(c.clsid);
        const std::wstring key = L"CLSID\\" + clsid;
        const bool versioned = !c.versionedProgId.empty();
        rows.push_back({key, L"", c.description});
        rows.push_back({key + L"\\InprocServer32", L"", module});
        rows.push_back({key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"});
        rows.push_back({key + L"\\ProgID", L"", versioned ? c.versionedProgId : c.progId});
        if (versioned) rows.push_back({key + L"\\VersionIndependentProgID", L"", c.progId});
        if (typeLib) rows.push_back({key + L"\\TypeLib", L"", typeLib->libId});
        if (c.controlStatus) {
            rows.push_back({key + L"\\Control", L"", L""});
            rows.push_back({key + L"\\MiscStatus", L"", std::to_wstring(c.controlStatus)});
            rows.push_back({key + L"\\MiscStatus\\1", L"", std::to_wstring(c.controlStatus)});
        }
        rows.push_back({c.progId, L"", c.description});
        rows.push_back({c.progId + L"\\CLSID", L"", clsid});
        if (versioned) {
            rows.push_back({c.progId + L"\\CurVer", L"", c.versionedProgId});
            rows.push_back({c.versionedProgId, L"", c.description});
            rows.push_back({c.versionedProgId + L"\\CLSID", L"", clsid});
        }
    }
    if (typeLib) {
        const std::wstring key = typeLibKey(*typeLib) + L"\\" + typeLib->version;
        rows.push_back({key, L"", typeLib->description});
        rows.push_back({key + (platform == Platform::win64 ? L"\\0\\win64" : L"\\0\\win32"), L"", module});
        rows.push_back({key + L"\\FLAGS", L"", typeLib->flags});
        rows.push_back({key + L"\\HELPDIR", L"", std::wstring(kModuleFolderToken)});
        for (const auto& i : typeLib->dispinterfaces) {
            const std::wstring ikey = L"Interface\\" + guidText(i.iid);
            rows.push_back({ikey, L"", i.name});
            rows.push_back({ikey + L"\\ProxyStubClsid", L"", kDispatchProxy});
            rows.push_back({ikey + L"\\ProxyStubClsid32", L"", kDispatchProxy});
            rows.push_back({ikey + L"\\TypeLib", L"", typeLib->libId});
            rows.push_back({ikey + L"\\TypeLib", L"Version", typeLib->version});
        }
    }
    return rows;
}

std::wstring expandRowValue(std::wstring_view value, std::wstring_view modulePath, std::wstring_view folder) {
    if (value == kModulePathToken) return std::wstring(modulePath);
    if (value == kModuleFolderToken) return std::wstring(folder);
    return std::wstring(value);
}

HRESULT registerServerRows(const std::vector<ClassRegistration>& classes, const TypeLibraryRegistration* typeLib) {
    const std::wstring path = modulePath();
    const std::wstring folder = moduleFolder() + L"\\";
    for (const auto& row : registryRows(classes, typeLib, kThisPlatform)) {
        LSTATUS s = setValue(row.key, row.name, expandRowValue(row.value, path, folder));
        if (s != ERROR_SUCCESS) {
            unregisterServerRows(classes, typeLib);
            return s == ERROR_ACCESS_DENIED ? SELFREG_E_CLASS : HRESULT_FROM_WIN32(s);
        }
    }
    return S_OK;
}

HRESULT unregisterServerRows(const std::vector<ClassRegistration>& classes, const TypeLibraryRegistration* typeLib) {
    HRESULT result = S_OK;
    for (const auto& key : ownedKeys(classes, typeLib))
        if (removeTree(key) != ERROR_SUCCESS) result = SELFREG_E_CLASS;
    // The library's key goes when no other version of it is left.
    if (typeLib) ::RegDeleteKeyW(HKEY_CLASSES_ROOT, typeLibKey(*typeLib).c_str());
    return result;
}

}  // namespace qb::automation
