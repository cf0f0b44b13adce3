// MailClient.dll: stand-ins for the mail client's automation objects (test and demo prefix only).
#include <windows.h>

#include "automation/server_module.h"
#include "mail/mail.h"
#include "ui/window/form.h"

namespace {

const std::vector<qb::automation::ServerClass>& classes() {
    static const std::vector<qb::automation::ServerClass> list = {
        {{{0x7f0a945f, 0x4f31, 0x471b, {0x89, 0xf4, 0x1b, 0xa5, 0xa2, 0xde, 0x79, 0x47}}, L"Outlook.Application",
          L"Mail client (stand-in)"},
         [] { return qb::automation::makeObject<mail::Application>(); }},
        {{{0x67a50866, 0x398b, 0x49fc, {0xb9, 0xe8, 0xce, 0x57, 0x99, 0xe5, 0x0d, 0x88}}, L"Redemption.SafeMailItem",
          L"Safe mail item (stand-in)"},
         [] { return qb::automation::makeObject<mail::SafeMailItem>(); }},
    };
    return list;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return qb::automation::serverDllMain(instance, reason, reserved, qb::ui::unregisterFormClass);
}

QB_COM_SERVER_EXPORTS(classes)
