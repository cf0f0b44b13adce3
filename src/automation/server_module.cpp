#include "automation/server_module.h"

#include <atomic>

#include "automation/boundary.h"

namespace qb::automation {
namespace {

std::atomic<long> g_locks{0};

class ClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit ClassFactory(ComPtr<IDispatch> (*create)()) : create_(create) { ++g_locks; }
    ~ClassFactory() override { --g_locks; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return hresultBoundary([&] {
            ComPtr<IDispatch> obj = create_();
            return obj->QueryInterface(iid, out);
        });
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }

private:
    ComPtr<IDispatch> (*create_)();
};

}  // namespace

std::vector<ClassRegistration> registrations(const std::vector<ServerClass>& classes) {
    std::vector<ClassRegistration> r;
    for (const auto& c : classes) r.push_back(c.registration);
    return r;
}

HRESULT serverGetClassObject(const std::vector<ServerClass>& classes, REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return hresultBoundary([&]() -> HRESULT {
        for (const auto& c : classes) {
            if (IsEqualCLSID(c.registration.clsid, clsid)) {
                auto* f = new ClassFactory(c.create);
                HRESULT hr = f->QueryInterface(iid, out);
                f->Release();
                return hr;
            }
        }
        return CLASS_E_CLASSNOTAVAILABLE;
    });
}

HRESULT serverCanUnloadNow(bool (*inUse)()) {
    return hresultBoundary([&] {
        return g_locks.load() == 0 && DispatchObject::liveObjects() == 0 && !(inUse && inUse()) ? S_OK : S_FALSE;
    });
}

HRESULT serverRegister(const std::vector<ServerClass>& classes, const TypeLibraryRegistration* typeLib) {
    return hresultBoundary([&] { return registerServerRows(registrations(classes), typeLib); });
}

HRESULT serverUnregister(const std::vector<ServerClass>& classes, const TypeLibraryRegistration* typeLib) {
    return hresultBoundary([&] { return unregisterServerRows(registrations(classes), typeLib); });
}

BOOL serverDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved, void (*unloading)()) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && unloading) unloading();
    return TRUE;
}

}  // namespace qb::automation
