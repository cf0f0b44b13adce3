#pragma once
// How many GDI and USER objects this process holds. Windows answers GetGuiResources; Wine answers
// 0 there, so the GDI objects are counted in the process's GDI handle table instead, and the
// USER objects as the windows of this thread (menus, cursors and icons are not seen then).
namespace qb::testing {

struct GuiCounts {
    long gdi = 0, user = 0;
};

GuiCounts guiCounts();

}  // namespace qb::testing
