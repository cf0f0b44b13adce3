// PlatformStandIns.dll: stand-ins for platform objects that Wine lacks (test prefix only).
#include <windows.h>

#include "automation/server_module.h"
#include "platform/adodb_stream.h"

namespace {

const std::vector<qb::automation::ServerClass>& classes() {
    static const std::vector<qb::automation::ServerClass> list = {
        {{{0xa4d276e7, 0xb98b, 0x41ea, {0xb1, 0xba, 0x23, 0x73, 0x5b, 0xce, 0x35, 0x14}}, L"ADODB.Stream",
          L"ADO stream (stand-in)"},
         [] { return qb::automation::makeObject<platform::AdoStream>(); }},
    };
    return list;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return qb::automation::serverDllMain(instance, reason, reserved);
}

QB_COM_SERVER_EXPORTS(classes)
