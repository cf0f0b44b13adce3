#include "gui_counts.h"

#include <windows.h>
#include <winternl.h>

namespace qb::testing {
namespace {

// One entry of the GDI handle table the PEB points to (the same layout on Windows and Wine).
#pragma pack(push, 1)
struct GdiCell {
    UINT64 kernelObject;
    USHORT processId;
    USHORT count;
    USHORT upper;
    USHORT type;  // 0 for a free entry
    UINT64 userObject;
};
#pragma pack(pop)
static_assert(sizeof(GdiCell) == 24);
constexpr int kGdiCells = 0x10000;

long gdiTableCount() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // the compiler's view of the TEB read
    auto* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    // PEB.GdiSharedHandleTable
    auto* cells = *reinterpret_cast<const GdiCell* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    if (!cells) return 0;
    // Windows shares one table between the processes of a session; Wine keeps one per process
    // and leaves the owner 0.
    const USHORT self = static_cast<USHORT>(::GetCurrentProcessId());
    long n = 0;
    for (int i = 0; i < kGdiCells; ++i)
        if (cells[i].type && (cells[i].processId == self || cells[i].processId == 0)) ++n;
    return n;
}

long threadWindowCount() {
    long n = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
            auto* count = reinterpret_cast<long*>(lp);
            ++*count;
            ::EnumChildWindows(
                h, [](HWND, LPARAM inner) WINAPI -> BOOL { return ++*reinterpret_cast<long*>(inner), TRUE; }, lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace

GuiCounts guiCounts() {
    GuiCounts c;
    c.gdi = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
    c.user = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    if (c.gdi == 0) c.gdi = gdiTableCount();
    if (c.user == 0) c.user = threadWindowCount();
    return c;
}

}  // namespace qb::testing
