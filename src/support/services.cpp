#include "support/services.h"
#include "base/per_thread.h"

#include "automation/module.h"
#include "ui/window/modal.h"

namespace qb::support {
namespace {

Services makeDefaults() {
    // Each thread creates objects in its own apartment: class factories kept by one thread are
    // never used from another.
    automation::ComObjectFactory& factory = perThread<automation::ComObjectFactory>();
    static ui::SystemPrompter prompter;
    static ui::MessageLoopRunner modal;
    static ui::SystemShell shell;
    static ui::SystemFileDialogs files;
    // The log lives beside the component: its name with the extension ".Log".
    std::wstring path = automation::modulePath();
    auto slash = path.find_last_of(L"\\/");
    auto dot = path.find_last_of(L'.');
    std::wstring log = (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
                           ? path.substr(0, dot) + L".Log"
                           : path + L".Log";
    return Services{&factory, &prompter, &modal, log, &shell, &files};
}

}  // namespace

Services& services() {
    return perThread<Services>(makeDefaults);
}

ScopedServices::ScopedServices(Services replacement) : saved_(services()) {
    Services& s = services();
    if (replacement.objects) s.objects = replacement.objects;
    if (replacement.prompter) s.prompter = replacement.prompter;
    if (replacement.modal) s.modal = replacement.modal;
    if (!replacement.logFile.empty()) s.logFile = replacement.logFile;
    if (replacement.shell) s.shell = replacement.shell;
    if (replacement.files) s.files = replacement.files;
}

ScopedServices::~ScopedServices() { services() = saved_; }

}  // namespace qb::support
