#include "ui/window/activation.h"

#include "automation/module.h"
#include "base/handles.h"

namespace qb::ui {

HANDLE componentActivationContext() {
    // Made once and kept for the life of the module.
    static const UniqueActCtx context = [] {
        ACTCTXW request{sizeof request};
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.hModule = automation::thisModule();
        request.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
        return UniqueActCtx(::CreateActCtxW(&request));
    }();
    return context.get();
}

ActivationScope::ActivationScope() noexcept {
    HANDLE context = componentActivationContext();
    if (context != INVALID_HANDLE_VALUE && !::ActivateActCtx(context, &cookie_)) cookie_ = 0;
}

ActivationScope::~ActivationScope() {
    if (cookie_) ::DeactivateActCtx(0, cookie_);
}

}  // namespace qb::ui
