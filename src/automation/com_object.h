#pragma once
// Reference counting and QueryInterface for a COM object. Each class states which interface
// identifiers it answers in one table (interfaceFor), one line an interface, in the manner of an
// ATL interface map:
//
//     void* interfaceFor(REFIID iid) override {
//         return answer(iid, {{IID_IDispatch, asDispatch()}, {DIID_Engine, asDispatch()},
//                             {IID_ISupportErrorInfo, &errorInfo_}});
//     }
#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <initializer_list>

namespace qb::automation {

// One line of an interface table: an identifier and the interface that answers it.
struct InterfaceEntry {
    const IID& iid;
    void* answer;
};

// The interface of a table that answers `iid`, or nullptr.
inline void* answer(REFIID iid, std::initializer_list<InterfaceEntry> table) {
    for (const InterfaceEntry& e : table)
        if (IsEqualIID(iid, e.iid)) return e.answer;
    return nullptr;
}

template <class Interface, const IID& kInterfaceId>
class ComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = IsEqualIID(iid, IID_IUnknown) ? static_cast<Interface*>(this) : interfaceFor(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();  // every interface of the table shares this object's count
        return S_OK;
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
    // The class's interface table; by default the one interface it implements.
    virtual void* interfaceFor(REFIID iid) { return answer(iid, {{kInterfaceId, static_cast<Interface*>(this)}}); }

private:
    std::atomic<ULONG> refs_{1};
};

// ISupportErrorInfo for an object whose failures set the thread's error info: an interface of
// the object (it shares the object's identity and count), answering for the interfaces given.
class ErrorInfoSupport final : public ISupportErrorInfo {
public:
    ErrorInfoSupport(IUnknown& outer, std::initializer_list<const IID*> interfaces) : outer_(outer) {
        for (const IID* iid : interfaces)
            if (count_ < kMax) iids_[count_++] = iid;
    }
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return outer_.QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return outer_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return outer_.Release(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        for (int i = 0; i < count_; ++i)
            if (IsEqualIID(iid, *iids_[i])) return S_OK;
        return S_FALSE;
    }

private:
    static constexpr int kMax = 4;
    IUnknown& outer_;
    const IID* iids_[kMax] = {};
    int count_ = 0;
};

}  // namespace qb::automation
