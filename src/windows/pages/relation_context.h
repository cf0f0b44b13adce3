#pragma once
// What a page of a relation window is given by the window that places it: the window itself
// (its caption titles the reports of the page's handlers, its name qualifies their sources), the
// members the opener set, and the view in use. Pages never reach into each other; the window
// wires them.
#include <string>

#include "automation/object.h"
#include "contract/suite.h"
#include "ui/window/form.h"
#include "windows/shared/connection_watch.h"

namespace qb::windows {

struct RelationContext {
    ui::Form& window;
    // The item record (oFileSelected).
    automation::Object& item;
    // The keyword view in use (SelectedViewId).
    short& viewId;
    // The list the current drag started from (StartDrag).
    std::wstring& startDrag;
    // The window's connection-state control (CheckState1): the suite's own dialogs open through it.
    ConnectionWatch& connection;

    long fileId() const { return item.get(contract::field::FileId).toLong(); }
    // "frmWindow.procedure()"
    std::wstring qualified(std::wstring_view procedure) const { return window.qualifiedName(procedure); }
};

}  // namespace qb::windows
