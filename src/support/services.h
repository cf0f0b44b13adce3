#pragma once
// The seams of the component: how it creates external objects, asks the user (message boxes and
// file dialogs), runs modal windows, starts programs and where it logs. Real implementations by
// default; tests put in their own for a scope.
#include <string>

#include "automation/object_factory.h"
#include "ui/window/file_dialogs.h"
#include "ui/window/prompter.h"
#include "ui/window/shell.h"

namespace qb::ui {
class ModalRunner;
}

namespace qb::support {

struct Services {
    automation::ObjectFactory* objects = nullptr;
    ui::Prompter* prompter = nullptr;
    ui::ModalRunner* modal = nullptr;
    std::wstring logFile;  // full path of the error log
    ui::Shell* shell = nullptr;
    ui::FileDialogs* files = nullptr;
};

// The services in force on this thread.
Services& services();

// Replaces some services for the lifetime of the object (null members keep the current ones).
class ScopedServices {
public:
    explicit ScopedServices(Services replacement);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services saved_;
};

// Shorthand for creating an external object through the seam.
inline automation::Object createObject(std::wstring_view progId) { return services().objects->create(progId); }

}  // namespace qb::support
