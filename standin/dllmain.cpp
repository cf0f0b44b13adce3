// TesraSuite.dll: the stand-in suite's in-process server (data objects and engines).
#include <windows.h>

#include "automation/server_module.h"
#include "objects.h"

namespace {

using qb::automation::makeObject;

const std::vector<qb::automation::ServerClass>& classes() {
    // {38C14013-9015-44F9-802F-0BDA5FDA6625} and following.
    static const std::vector<qb::automation::ServerClass> list = {
        {{{0x38c14013, 0x9015, 0x44f9, {0x80, 0x2f, 0x0b, 0xda, 0x5f, 0xda, 0x66, 0x25}}, L"Tesra.File",
          L"Tesra item record (stand-in)"},
         [] { return makeObject<tesra::FileObject>(); }},
        {{{0x1df9dbfc, 0x3a79, 0x4e5e, {0x80, 0x91, 0xe1, 0x78, 0xeb, 0xc3, 0xed, 0x2a}}, L"Itemkeeper.Engine",
          L"Item loader (stand-in)"},
         [] { return makeObject<tesra::ItemLoader>(); }},
        {{{0x4572434c, 0xa654, 0x4058, {0x99, 0x7a, 0xf9, 0x7c, 0xde, 0xa4, 0x7b, 0x8f}}, L"Gatehouse.Engine",
          L"Connection and file server (stand-in)"},
         [] { return makeObject<tesra::Gatehouse>(); }},
    };
    return list;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return qb::automation::serverGetClassObject(classes(), clsid, iid, out);
}
extern "C" HRESULT WINAPI DllCanUnloadNow() { return qb::automation::serverCanUnloadNow(); }
extern "C" HRESULT WINAPI DllRegisterServer() { return qb::automation::serverRegister(classes()); }
extern "C" HRESULT WINAPI DllUnregisterServer() { return qb::automation::serverUnregister(classes()); }
