#pragma once
// Tesra.CategoryTree: the suite's category tree, a windowed ActiveX control. A container gives it
// a client site (which must answer IOleInPlaceSite and give a window context), activates it in
// place, and hears its events through a connection point of DIID_CategoryTreeEvents:
//   ChangeItem(name As String, id As Long, kind As String)  (dispid 1) a node was chosen; kind is
//                                                           "Category", or "View" for the root
//   TreeChanged()                                           (dispid 2) the nodes were put in anew;
//                                                           the container redraws the control
// Set-up, in this order: ShowRoot (Boolean: the view as the root node), ViewId (the view, as
// text), SetBackColor(colour as text: an OLE colour, system colours included), LoadTree() (the
// view's categories, any depth, from the suite's database; needs the control in place), and
// ExpandAll() once the container has finished loading.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "event_point.h"
#include "record.h"

namespace tesra {

// {AEDDF682-E305-4969-B5C7-D00253799E79}
inline constexpr IID DIID_CategoryTreeEvents = {0xaeddf682, 0xe305, 0x4969, {0xb5, 0xc7, 0xd0, 0x0b, 0x53, 0x79, 0x9e, 0x79}};
// {8B479775-B00C-481D-B5E9-84F9AAB4949C}
inline constexpr CLSID CLSID_CategoryTree = {0x8b479775, 0xb00c, 0x481d, {0xb5, 0xe9, 0x84, 0xf9, 0xaa, 0xb4, 0x94, 0x9c}};
inline constexpr DISPID kChangeItemId = 1;
inline constexpr DISPID kTreeChangedId = 2;

class CategoryTree final : public SuiteObject,
                           public IOleObject,
                           public IOleInPlaceObject,
                           public IOleControl,
                           public IConnectionPointContainer {
public:
    CategoryTree();
    ~CategoryTree() override;
    static constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                         OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

    // IUnknown (one identity)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return SuiteObject::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return SuiteObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return SuiteObject::Release(); }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override;
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** d) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** e) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD* c) override;
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** e) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override { return events_->find(iid, out); }

protected:
    const MemberTable& members() const override;
    void* interfaceFor(REFIID iid) override;

private:
    struct Entry {
        long id;
        std::wstring name, kind;
    };
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT message(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    HRESULT activate(HWND parent);
    void loadTree();
    void expandAll();
    void applyLook();
    // An ambient property of the container, or Empty.
    Variant ambient(DISPID id) const;
    void fire(DISPID id, const std::vector<Variant>& args);

    qb::automation::ComPtr<IOleClientSite> site_;
    qb::automation::ComPtr<IOleInPlaceSite> inPlace_;
    qb::automation::ComPtr<EventPoint> events_;
    qb::automation::ComPtr<IFont> font_;  // the container's, while it is in use
    HWND window_ = nullptr, tree_ = nullptr;
    SIZEL extent_{5080, 5080};  // HIMETRIC
    bool showRoot_ = false;
    std::wstring viewId_;
    OLE_COLOR backColor_ = 0x80000005;  // the window colour
    bool backColorSet_ = false;
    int frozen_ = 0;
    std::vector<Entry> entries_;  // a node's lParam is its index here
};

// Before the module unloads.
void unregisterCategoryTreeClass();

}  // namespace tesra
