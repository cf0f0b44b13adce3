#include "automation/object_factory.h"

#include <string>

#include "automation/com_error.h"

namespace qb::automation {

ComObjectFactory::~ComObjectFactory() {
    // Kept factories belong to an operation that has ended; a process ending with some still
    // here (reuse never ended) lets them go without calling into unloaded code.
    for (auto& [id, factory] : factories_) factory.detach();
}

void ComObjectFactory::endReuse() {
    if (reuse_ > 0 && --reuse_ == 0) factories_.clear();
}

Object ComObjectFactory::create(std::wstring_view progId) {
    if (reuse_ > 0) {
        auto it = factories_.find(progId);
        if (it != factories_.end()) {
            ComPtr<IDispatch> p;
            HRESULT hr = it->second->CreateInstance(nullptr, IID_IDispatch, p.put_void());
            if (SUCCEEDED(hr)) return Object(std::move(p));
            factories_.erase(it);  // look it up again below
        }
    }
    std::wstring id(progId);
    CLSID clsid;
    // A ProgID, or a class id in braces.
    HRESULT hr = id.starts_with(L"{") ? ::CLSIDFromString(id.c_str(), &clsid) : ::CLSIDFromProgID(id.c_str(), &clsid);
    if (FAILED(hr)) throw ComError::runtime(err::CantCreateObject);
    ComPtr<IDispatch> p;
    if (reuse_ > 0) {
        ComPtr<IClassFactory> factory;
        hr = ::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                                factory.put_void());
        if (SUCCEEDED(hr)) {
            hr = factory->CreateInstance(nullptr, IID_IDispatch, p.put_void());
            if (SUCCEEDED(hr)) factories_.emplace(id, factory);
        }
    } else {
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, p.put_void());
    }
    if (FAILED(hr)) {
        if (hr == E_OUTOFMEMORY) throw ComError::runtime(err::OutOfMemory);
        throw ComError::runtime(err::CantCreateObject);
    }
    return Object(std::move(p));
}

}  // namespace qb::automation
