// Quillbox.dll: the in-process server of Quillbox.Engine.
#include <windows.h>

#include "automation/server_module.h"
#include "engine/engine.h"
#include "ui/form.h"

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
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        qb::ui::unregisterFormClass();  // unloaded by FreeLibrary: the class must not outlive the code
    }
    return TRUE;
}

QB_COM_SERVER_EXPORTS(classes)
