#pragma once
// Owning BSTR.
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace qb::automation {

class Bstr {
public:
    Bstr() = default;
    Bstr(std::wstring_view s) : b_(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    Bstr(const Bstr& o) : b_(o.b_ ? ::SysAllocStringLen(o.b_, ::SysStringLen(o.b_)) : nullptr) {}
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    ~Bstr() { ::SysFreeString(b_); }
    Bstr& operator=(Bstr o) noexcept {
        std::swap(b_, o.b_);
        return *this;
    }
    static Bstr attach(BSTR b) {
        Bstr r;
        r.b_ = b;
        return r;
    }
    BSTR detach() { return std::exchange(b_, nullptr); }
    BSTR get() const { return b_; }
    BSTR* put() {
        ::SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }
    std::wstring str() const { return b_ ? std::wstring(b_, ::SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

}  // namespace qb::automation
