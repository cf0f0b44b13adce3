#pragma once
// What an in-process server DLL exports: its classes, their factories, registration and unload check.
#include <windows.h>

#include <vector>

#include "automation/dispatch_object.h"
#include "automation/registration.h"

namespace qb::automation {

struct ServerClass {
    ClassRegistration registration;
    ComPtr<IDispatch> (*create)();
};

// What the classes register.
std::vector<ClassRegistration> registrations(const std::vector<ServerClass>& classes);

// The bodies of the four exported entry points, exception barriers included.
HRESULT serverGetClassObject(const std::vector<ServerClass>& classes, REFCLSID clsid, REFIID iid, void** out);
// S_OK when no object, lock or (by `inUse`, when given) anything else of the module is alive.
HRESULT serverCanUnloadNow(bool (*inUse)() = nullptr);
// `typeLib` describes the type library embedded in the module, if it has one.
HRESULT serverRegister(const std::vector<ServerClass>& classes, const TypeLibraryRegistration* typeLib = nullptr);
HRESULT serverUnregister(const std::vector<ServerClass>& classes, const TypeLibraryRegistration* typeLib = nullptr);
// The body of DllMain: no thread notifications; `unloading` runs when FreeLibrary unloads the
// DLL (not at process exit), for what must not outlive the code, such as window classes.
BOOL serverDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved, void (*unloading)() = nullptr);

}  // namespace qb::automation

// Defines the four exported entry points of an in-process server whose classes `classes()` lists,
// whose embedded type library `typeLib()` describes (a pointer, null for none), and that stays
// loaded while `inUse()` (a function pointer, null for none) answers true.
#define QB_COM_SERVER_EXPORTS_FULL(classes, typeLib, inUse)                                     \
    extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {       \
        return qb::automation::serverGetClassObject(classes(), clsid, iid, out);               \
    }                                                                                           \
    extern "C" HRESULT WINAPI DllCanUnloadNow() { return qb::automation::serverCanUnloadNow(inUse); } \
    extern "C" HRESULT WINAPI DllRegisterServer() { return qb::automation::serverRegister(classes(), typeLib()); } \
    extern "C" HRESULT WINAPI DllUnregisterServer() { return qb::automation::serverUnregister(classes(), typeLib()); }

#define QB_COM_SERVER_EXPORTS_WITH_TYPELIB(classes, typeLib) QB_COM_SERVER_EXPORTS_FULL(classes, typeLib, nullptr)

namespace qb::automation {
inline const TypeLibraryRegistration* noTypeLibrary() { return nullptr; }
}  // namespace qb::automation

// The entry points of a server without a type library.
#define QB_COM_SERVER_EXPORTS(classes) QB_COM_SERVER_EXPORTS_WITH_TYPELIB(classes, qb::automation::noTypeLibrary)
