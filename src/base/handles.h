#pragma once
// One owner for every kind of system handle the component holds: a handle type and the call that
// closes it, in the manner of wil's unique_any. Move-only; closes what it holds when it goes.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace qb {

template <class Traits>
class UniqueHandle {
public:
    using type = typename Traits::type;
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(type v) noexcept : v_(v) {}
    UniqueHandle(UniqueHandle&& o) noexcept : v_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    type get() const noexcept { return v_; }
    explicit operator bool() const noexcept { return v_ != Traits::invalid(); }
    // Closes what is held and takes `v`.
    void reset(type v = Traits::invalid()) noexcept {
        type old = std::exchange(v_, v);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // Gives up ownership without closing.
    [[nodiscard]] type release() noexcept { return std::exchange(v_, Traits::invalid()); }

private:
    type v_ = Traits::invalid();
};

namespace handle_traits {

template <class T>
struct Gdi {
    using type = T;
    static constexpr T invalid() { return nullptr; }
    static void close(T v) { ::DeleteObject(v); }
};
struct ImageList {
    using type = HIMAGELIST;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ImageList_Destroy(v); }
};
struct Icon {
    using type = HICON;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ::DestroyIcon(v); }
};
struct Menu {
    using type = HMENU;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ::DestroyMenu(v); }
};
struct RegKey {
    using type = HKEY;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ::RegCloseKey(v); }
};
struct File {
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(type v) { ::CloseHandle(v); }
};
// Processes, threads, events: none is nullptr (files use INVALID_HANDLE_VALUE).
struct Kernel {
    using type = HANDLE;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ::CloseHandle(v); }
};
struct MemoryDc {
    using type = HDC;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ::DeleteDC(v); }
};
struct Module {
    using type = HMODULE;
    static constexpr type invalid() { return nullptr; }
    static void close(type v) { ::FreeLibrary(v); }
};
struct ActCtx {
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(type v) { ::ReleaseActCtx(v); }
};

}  // namespace handle_traits

using UniqueFont = UniqueHandle<handle_traits::Gdi<HFONT>>;
using UniqueBrush = UniqueHandle<handle_traits::Gdi<HBRUSH>>;
using UniqueBitmap = UniqueHandle<handle_traits::Gdi<HBITMAP>>;
using UniquePen = UniqueHandle<handle_traits::Gdi<HPEN>>;
using UniqueImageList = UniqueHandle<handle_traits::ImageList>;
using UniqueIcon = UniqueHandle<handle_traits::Icon>;
using UniqueMenu = UniqueHandle<handle_traits::Menu>;
using UniqueRegKey = UniqueHandle<handle_traits::RegKey>;
using UniqueFile = UniqueHandle<handle_traits::File>;
using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueMemoryDc = UniqueHandle<handle_traits::MemoryDc>;
using UniqueModule = UniqueHandle<handle_traits::Module>;
using UniqueActCtx = UniqueHandle<handle_traits::ActCtx>;

// A window's device context, released with the window it came from.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for a scope; the old one goes back at the end.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~Selected() { ::SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace qb
