#include "fakes.h"

#include <windows.h>

#include <atomic>

namespace qb::testing {

std::wstring render(const Variant& v) {
    if (v.isMissing()) return L"<missing>";
    switch (v.type()) {
        case VT_BSTR: return L"\"" + v.toText() + L"\"";
        case VT_BOOL: return v.toBool() ? L"True" : L"False";
        case VT_DISPATCH: return v.isNothing() ? L"Nothing" : L"<object>";
        case VT_EMPTY: return L"Empty";
        default: return v.toText();
    }
}

FakeObject& FakeObject::on(const std::wstring& member, Answer answer) {
    std::wstring qualified = name_ + L"." + member;
    auto log = log_;
    table_.method<FakeObject>(member, [qualified, log, answer](FakeObject&, const CallArgs& a) {
        std::wstring entry = qualified + L"(";
        for (size_t i = 0; i < a.count(); ++i) entry += (i ? L", " : L"") + render(a.value(i));
        log->push_back(entry + L")");
        return answer(a);
    });
    return *this;
}

automation::ComPtr<FakeObject> makeFake(const std::wstring& name, std::shared_ptr<CallLog> log) {
    return automation::ComPtr<FakeObject>::attach(new FakeObject(name, std::move(log)));
}

automation::Object FakeFactory::create(std::wstring_view progId) {
    log_->push_back(L"new " + std::wstring(progId));
    auto it = makers_.find(progId);
    if (it == makers_.end()) throw automation::ComError::runtime(automation::err::CantCreateObject);
    return it->second();
}

namespace {

class RecordingProxy final : public automation::ComObject<IDispatch, IID_IDispatch> {
public:
    RecordingProxy(std::wstring name, automation::ComPtr<IDispatch> real, std::shared_ptr<CallLog> log)
        : name_(std::move(name)), real_(std::move(real)), log_(std::move(log)) {}

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return real_->GetTypeInfoCount(n); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override { return real_->GetTypeInfo(i, lcid, info); }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        HRESULT hr = real_->GetIDsOfNames(iid, names, count, lcid, ids);
        if (SUCCEEDED(hr) && count) members_[ids[0]] = names[0];
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override {
        if (id != DISPID_NEWENUM) {
            // Arguments first to last; one passed by reference is marked "&".
            std::wstring entry = name_ + L"." + members_[id] + L"(";
            CallArgs args(params);
            const UINT positional = params ? params->cArgs - params->cNamedArgs : 0;
            for (size_t i = 0; i < args.count(); ++i) {
                const bool byRef = i < positional && (params->rgvarg[params->cArgs - 1 - i].vt & VT_BYREF);
                entry += (i ? L", " : L"") + std::wstring(byRef ? L"&" : L"") + render(args.value(i));
            }
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF) && params && params->cNamedArgs)
                entry += L" = " + render(Variant::copyOf(params->rgvarg[0]));
            log_->push_back(entry + L")");
        }
        HRESULT hr = real_->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
        if (SUCCEEDED(hr) && result && result->vt == VT_DISPATCH && result->pdispVal && id != DISPID_NEWENUM) {
            automation::ComPtr<IDispatch> answered = automation::ComPtr<IDispatch>::attach(result->pdispVal);
            result->pdispVal = new RecordingProxy(name_, answered, log_);
        }
        return hr;
    }

    // Connection points and the like: the real object's.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        HRESULT hr = ComObject::QueryInterface(iid, out);
        return hr == E_NOINTERFACE ? real_->QueryInterface(iid, out) : hr;
    }

private:
    std::wstring name_;
    automation::ComPtr<IDispatch> real_;
    std::shared_ptr<CallLog> log_;
    std::map<DISPID, std::wstring> members_;
};

}  // namespace

automation::Object recording(const std::wstring& name, automation::Object real, std::shared_ptr<CallLog> log) {
    return automation::Object(automation::ComPtr<IDispatch>::attach(new RecordingProxy(name, real.ptr(), std::move(log))));
}

TempFile::TempFile(const wchar_t* stem) {
    static std::atomic<int> counter{0};
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir) + stem + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L".tmp";
    ::DeleteFileW(path_.c_str());
}

ExistingFile::ExistingFile(const wchar_t* stem, const std::string& content) : TempFile(stem) {
    HANDLE h = ::CreateFileW(path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
}

TempFile::~TempFile() { ::DeleteFileW(path_.c_str()); }

void TempFile::clear() const {
    HANDLE h = ::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
}

std::string TempFile::read() const {
    HANDLE h = ::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string s;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got) s.append(buf, got);
    ::CloseHandle(h);
    return s;
}

}  // namespace qb::testing
