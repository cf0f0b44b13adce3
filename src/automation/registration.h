#pragma once
// Self-registration of in-process COM classes under HKEY_CLASSES_ROOT.
#include <windows.h>

#include <string>
#include <vector>

namespace qb::automation {

struct ClassRegistration {
    CLSID clsid;
    std::wstring progId;       // "Library.Class"
    std::wstring description;  // shown by registry tools
    std::wstring typeLib;      // LIBID of the module's type library, or empty
};

// Writes CLSID\{...}\InprocServer32 (this module, ThreadingModel Apartment), ProgID and the ProgID's CLSID.
HRESULT registerClasses(const std::vector<ClassRegistration>& classes);
// Removes every key registerClasses wrote.
HRESULT unregisterClasses(const std::vector<ClassRegistration>& classes);
// Registers / unregisters the type library embedded in this module (resource 1).
HRESULT registerTypeLibrary();
HRESULT unregisterTypeLibrary();
std::wstring guidText(const GUID& g);

}  // namespace qb::automation
