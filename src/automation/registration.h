#pragma once
// Registration of in-process COM classes and their type library as a list of registry rows under
// HKEY_CLASSES_ROOT. The same rows serve DllRegisterServer and the installer packages, so that a
// self-registered and an installed component can never differ.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace qb::automation {

struct ClassRegistration {
    CLSID clsid;
    std::wstring progId;           // version-independent: "Library.Class"
    std::wstring description;      // shown by registry tools
    std::wstring versionedProgId;  // "Library.Class.1", or empty for none
    // For an ActiveX control: its OLEMISC flags (registered with the "Control" mark); 0 for none.
    unsigned long controlStatus = 0;
};

// The type library embedded in the module (resource 1) and the dispinterfaces it describes; the
// server's classes name it as theirs.
struct TypeLibraryRegistration {
    struct Interface {
        IID iid;
        std::wstring name;
    };
    std::wstring libId;    // "{...}"
    std::wstring version;  // "major.minor" as hexadecimal numbers, as the registry keeps it
    std::wstring description;
    std::wstring flags;  // the library's LIBFLAGS, in decimal
    std::vector<Interface> dispinterfaces;
};

// One string value; an empty name is the key's default value.
struct RegistryRow {
    std::wstring key;
    std::wstring name;
    std::wstring value;
};

// Stand for the module's full path and its folder (with a trailing backslash) in row values.
inline constexpr std::wstring_view kModulePathToken = L"<module>";
inline constexpr std::wstring_view kModuleFolderToken = L"<folder>";

enum class Platform { win32, win64 };
inline constexpr Platform kThisPlatform = sizeof(void*) == 8 ? Platform::win64 : Platform::win32;

std::vector<RegistryRow> registryRows(const std::vector<ClassRegistration>& classes,
                                      const TypeLibraryRegistration* typeLib, Platform platform);
// A row's value with the tokens replaced.
std::wstring expandRowValue(std::wstring_view value, std::wstring_view modulePath, std::wstring_view folder);

// Writes the rows for this module; on a failure removes what it wrote.
HRESULT registerServerRows(const std::vector<ClassRegistration>& classes, const TypeLibraryRegistration* typeLib);
HRESULT unregisterServerRows(const std::vector<ClassRegistration>& classes, const TypeLibraryRegistration* typeLib);

std::wstring guidText(const GUID& g);

}  // namespace qb::automation
