#pragma once
// Reference counting and QueryInterface for an object that implements one COM interface.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace qb::automation {

template <class Interface, const IID& kInterfaceId>
class ComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == kInterfaceId) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return otherInterface(iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    // Answers for interfaces other than the one implemented (none by default).
    virtual HRESULT otherInterface(REFIID, void**) { return E_NOINTERFACE; }

private:
    std::atomic<ULONG> refs_{1};
};

}  // namespace qb::automation
