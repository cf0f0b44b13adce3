#include "automation/object_factory.h"

#include <string>

#include "automation/com_error.h"

namespace qb::automation {

Object ComObjectFactory::create(std::wstring_view progId) {
    std::wstring id(progId);
    CLSID clsid;
    // A ProgID, or a class id in braces.
    HRESULT hr = id.starts_with(L"{") ? ::CLSIDFromString(id.c_str(), &clsid) : ::CLSIDFromProgID(id.c_str(), &clsid);
    if (FAILED(hr)) throw ComError::runtime(err::CantCreateObject);
    ComPtr<IDispatch> p;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, p.put_void());
    if (FAILED(hr)) {
        if (hr == E_OUTOFMEMORY) throw ComError::runtime(err::OutOfMemory);
        throw ComError::runtime(err::CantCreateObject);
    }
    return Object(std::move(p));
}

}  // namespace qb::automation
