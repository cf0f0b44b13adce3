// Quillbox.dll: the in-process server of Quillbox.Engine.
#include <windows.h>

#include "automation/server_module.h"
#include "engine/engine.h"
#include "ui/window/form.h"

namespace {

const std::vector<qb::automation::ServerClass>& classes() {
    static const std::vector<qb::automation::ServerClass> list = {
        {{qb::engine::CLSID_Engine, qb::engine::kEngineProgId, L"Quillbox Engine", qb::engine::kTypeLibId},
         &qb::engine::createEngine},
    };
    return list;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return qb::automation::serverDllMain(instance, reason, reserved, qb::ui::unregisterFormClass);
}

QB_COM_SERVER_EXPORTS(classes)
