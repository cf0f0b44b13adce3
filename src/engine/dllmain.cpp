// Quillbox.dll: the in-process server of Quillbox.Engine.
#include <windows.h>

#include "engine/engine.h"
#include "engine/server.h"
#include "ui/activex/control_site.h"
#include "ui/controls/grid.h"
#include "ui/window/form.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // The window classes go with the module: a host that loads it again registers them afresh.
    return qb::automation::serverDllMain(instance, reason, reserved, [] {
        qb::ui::unregisterFormClass();
        qb::ui::unregisterGridClass();
        qb::ui::unregisterControlSiteClass();
    });
}

// The module stays while a window of it exists (the name clash dialog is kept loaded, hidden).
QB_COM_SERVER_EXPORTS_FULL(qb::engine::serverClasses, qb::engine::serverTypeLibrary, qb::engine::windowsAlive)
