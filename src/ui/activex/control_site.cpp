#include "ui/activex/control_site.h"

#include <olectl.h>

#include "automation/com_error.h"
#include "automation/com_object.h"
#include "automation/module.h"
#include "support/services.h"
#include "ui/window/form.h"

namespace qb::ui {
namespace {

constexpr wchar_t kSiteClass[] = L"QuillboxControlSite";

// Pixels to HIMETRIC (hundredths of a millimetre) at the screen's resolution.
SIZEL himetric(HWND window, int width, int height) {
    WindowDc dc(window);
    return SIZEL{::MulDiv(width, 2540, ::GetDeviceCaps(dc.get(), LOGPIXELSX)),
                 ::MulDiv(height, 2540, ::GetDeviceCaps(dc.get(), LOGPIXELSY))};
}

}  // namespace

// What the control sees of its container. Lives as long as the control holds it; the place
// detaches it when the control goes, after which it answers as a container that has gone.
class ControlSite final : public automation::ComObject<IOleClientSite, IID_IOleClientSite>,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IOleControlSite,
                          public IDispatch {
public:
    explicit ControlSite(ActiveXControl& place) : place_(&place) {}
    void detach() { place_ = nullptr; }

    // IUnknown, one identity
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return ComObject::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return ComObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return ComObject::Release(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override { return none(m, E_NOTIMPL); }
    STDMETHODIMP GetContainer(IOleContainer** c) override { return none(c, E_NOINTERFACE); }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of the site and of the frame)
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = place_ ? place_->handle() : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return place_ && place_->handle() ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !pos || !clip || !info) return E_POINTER;
        *document = nullptr;
        *frame = nullptr;
        if (!place_ || !place_->handle()) return E_FAIL;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        ::GetClientRect(place_->handle(), pos);
        *clip = *pos;
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(place_->handle(), GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    // The place decides the control's size: it keeps the one the form laid out.
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: no tool space, menus or status line to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** d) override { return none(d, E_NOTIMPL); }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties.
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (!n) return E_POINTER;
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** t) override { return none(t, E_NOTIMPL); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (!result) return E_POINTER;
        ::VariantInit(result);
        auto flag = [&](bool on) {
            result->vt = VT_BOOL;
            result->boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        };
        auto number = [&](long n) {
            result->vt = VT_I4;
            result->lVal = n;
            return S_OK;
        };
        switch (id) {
            case DISPID_AMBIENT_USERMODE: return flag(true);
            case DISPID_AMBIENT_UIDEAD: return flag(false);
            case DISPID_AMBIENT_SHOWGRABHANDLES:
            case DISPID_AMBIENT_SHOWHATCHING:
            case DISPID_AMBIENT_MESSAGEREFLECT: return flag(false);
            case DISPID_AMBIENT_APPEARANCE: return number(1);  // 3-D
            case DISPID_AMBIENT_LOCALEID: return number(static_cast<long>(::GetUserDefaultLCID()));
            case DISPID_AMBIENT_BACKCOLOR:
                return number(static_cast<long>(place_ ? place_->backColor() : ::GetSysColor(COLOR_BTNFACE)));
            case DISPID_AMBIENT_FORECOLOR: return number(static_cast<long>(0x80000000 | COLOR_WINDOWTEXT));
            case DISPID_AMBIENT_DISPLAYNAME:
                result->vt = VT_BSTR;
                result->bstrVal = ::SysAllocString(place_ ? place_->name().c_str() : L"");
                return result->bstrVal ? S_OK : E_OUTOFMEMORY;
            case DISPID_AMBIENT_FONT: return font(result);
            default: return DISP_E_MEMBERNOTFOUND;
        }
    }

protected:
    void* interfaceFor(REFIID iid) override {
        return automation::answer(iid, {{IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
                                        {IID_IOleWindow, static_cast<IOleInPlaceSite*>(this)},
                                        {IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(this)},
                                        {IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(this)},
                                        {IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this)},
                                        {IID_IOleControlSite, static_cast<IOleControlSite*>(this)},
                                        {IID_IDispatch, static_cast<IDispatch*>(this)}});
    }

private:
    template <class T>
    static HRESULT none(T** out, HRESULT hr) {
        if (out) *out = nullptr;
        return hr;
    }
    // The form's font as a font object of its own.
    HRESULT font(VARIANT* result) {
        HFONT handle = place_ ? place_->font() : nullptr;
        if (!handle) return DISP_E_MEMBERNOTFOUND;
        LOGFONTW lf{};
        ::GetObjectW(handle, sizeof lf, &lf);
        WindowDc screen(nullptr);
        FONTDESC desc{sizeof desc};
        desc.lpstrName = lf.lfFaceName;
        const int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
        desc.cySize.int64 = static_cast<LONGLONG>(height) * 72 * 10000 / ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        desc.sWeight = static_cast<SHORT>(lf.lfWeight);
        desc.sCharset = lf.lfCharSet;
        desc.fItalic = lf.lfItalic;
        desc.fUnderline = lf.lfUnderline;
        desc.fStrikethrough = lf.lfStrikeOut;
        IFontDisp* disp = nullptr;
        HRESULT hr = ::OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&disp));
        if (FAILED(hr)) return hr;
        result->vt = VT_DISPATCH;
        result->pdispVal = disp;
        return S_OK;
    }

    ActiveXControl* place_;
};

ActiveXControl::ActiveXControl() = default;

ActiveXControl::~ActiveXControl() { destroy(); }

const wchar_t* ActiveXControl::windowClass() const {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = &ActiveXControl::windowProc;
        wc.hInstance = automation::thisModule();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kSiteClass;
        return ::RegisterClassExW(&wc);
    }();
    if (!atom) throw automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()), name());
    return kSiteClass;
}

void unregisterControlSiteClass() { ::UnregisterClassW(kSiteClass, automation::thisModule()); }

COLORREF ActiveXControl::backColor() const { return exists() ? form().backColor() : ::GetSysColor(COLOR_BTNFACE); }

HWND ActiveXControl::controlWindow() const {
    HWND w = nullptr;
    if (inPlace_) inPlace_->GetWindow(&w);
    return w;
}

void ActiveXControl::create(std::wstring_view progId) {
    HWND place = live();
    destroy();
    automation::Object made = support::createObject(progId);
    auto ole = made.ptr().query<IOleObject>();
    if (!ole) throw automation::ComError::fromHResult(E_NOINTERFACE, std::wstring(progId));
    site_ = new ControlSite(*this);  // our reference
    auto fail = [&](HRESULT hr) {
        ole->SetClientSite(nullptr);
        site_->detach();
        site_->Release();
        site_ = nullptr;
        throw automation::ComError::fromHResult(hr, std::wstring(progId));
    };
    DWORD misc = 0;
    ole->GetMiscStatus(DVASPECT_CONTENT, &misc);
    HRESULT hr = S_OK;
    if (misc & OLEMISC_SETCLIENTSITEFIRST) hr = ole->SetClientSite(static_cast<IOleClientSite*>(site_));
    if (SUCCEEDED(hr))
        if (auto init = made.ptr().query<IPersistStreamInit>()) hr = init->InitNew();
    if (SUCCEEDED(hr) && !(misc & OLEMISC_SETCLIENTSITEFIRST)) hr = ole->SetClientSite(static_cast<IOleClientSite*>(site_));
    if (FAILED(hr)) fail(hr);
    RECT rc;
    ::GetClientRect(place, &rc);
    SIZEL extent = himetric(place, rc.right, rc.bottom);
    ole->SetExtent(DVASPECT_CONTENT, &extent);
    hr = ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0, place, &rc);
    auto inPlace = made.ptr().query<IOleInPlaceObject>();
    if (FAILED(hr) || !inPlace) fail(FAILED(hr) ? hr : E_NOINTERFACE);
    object_ = made;
    ole_ = ole;
    inPlace_ = inPlace;
    control_ = made.ptr().query<IOleControl>();
    nameFocusableWindows();
}

// A hosted control's focusable windows answer screen readers with the name the form gives the
// control ("Category:"): the control itself knows no label.
void ActiveXControl::nameFocusableWindows() const {
    HWND top = controlWindow();
    if (!top || accessibleName().empty()) return;
    std::vector<HWND> windows{top};
    ::EnumChildWindows(top, [](HWND h, LPARAM lp) WINAPI -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&windows));
    for (HWND h : windows)
        if (::GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP)
            answersInside(h);
}

void ActiveXControl::destroy() noexcept {
    if (inPlace_) inPlace_->InPlaceDeactivate();
    if (ole_) {
        ole_->Close(OLECLOSE_NOSAVE);
        ole_->SetClientSite(nullptr);
    }
    inPlace_.reset();
    control_.reset();
    ole_.reset();
    object_ = automation::Object();
    if (site_) {
        site_->detach();
        site_->Release();
        site_ = nullptr;
    }
}

void ActiveXControl::resized() {
    if (!inPlace_) return;
    RECT rc;
    ::GetClientRect(handle(), &rc);
    inPlace_->SetObjectRects(&rc, &rc);
    SIZEL extent = himetric(handle(), rc.right, rc.bottom);
    ole_->SetExtent(DVASPECT_CONTENT, &extent);
}

LRESULT CALLBACK ActiveXControl::windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    wchar_t cls[32] = {};
    auto* self = ::GetClassNameW(h, cls, 32) && lstrcmpW(cls, kSiteClass) == 0
                     ? reinterpret_cast<ActiveXControl*>(::GetWindowLongPtrW(h, GWLP_USERDATA))
                     : nullptr;
    if (!self || self->handle() != h) return ::DefWindowProcW(h, msg, wp, lp);
    try {
        return self->message(h, msg, wp, lp);
    } catch (...) {
        Form::swallowed(self->name() + L".windowProc");
        return 0;
    }
}

LRESULT ActiveXControl::message(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wp);
            if (control_) control_->OnAmbientPropertyChange(DISPID_AMBIENT_FONT);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_SIZE: resized(); return 0;
        case WM_SETFOCUS:
            if (HWND inner = controlWindow()) ::SetFocus(inner);
            return 0;
        case WM_DESTROY: destroy(); return 0;  // while the control's window is still there
        default: return ::DefWindowProcW(h, msg, wp, lp);
    }
}

}  // namespace qb::ui
