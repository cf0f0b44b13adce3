#include "platform/adodb_stream.h"

#include <windows.h>

#include <algorithm>

#include "automation/com_error.h"
#include "base/handles.h"

namespace platform {

using qb::automation::CallArgs;
using qb::automation::ComError;
using qb::automation::MemberTable;
using qb::automation::Variant;

namespace {

// ADO's own numbers for the failures a caller can meet here.
ComError adoError(long code, const wchar_t* text) { return ComError(code, text, L"ADODB.Stream"); }
constexpr long kClosed = 3704, kWrongType = 3001, kWriteFailed = 3004;

}  // namespace

const MemberTable& AdoStream::members() const {
    static const MemberTable t = [] {
        MemberTable m;
        m.property<AdoStream>(L"Mode", [](AdoStream& s) { return s.mode_; });
        m.assignable<AdoStream>(L"Mode", [](AdoStream& s, const Variant& v) { s.mode_ = v.toLong(); });
        m.property<AdoStream>(L"Type", [](AdoStream& s) { return s.type_; });
        m.assignable<AdoStream>(L"Type", [](AdoStream& s, const Variant& v) { s.type_ = v.toLong(); });
        m.property<AdoStream>(L"Position", [](AdoStream& s) { return s.position_; });
        m.assignable<AdoStream>(L"Position", [](AdoStream& s, const Variant& v) {
            long p = v.toLong();
            if (p < 0 || p > static_cast<long>(s.bytes_.size())) throw adoError(kWrongType, L"Position out of range.");
            s.position_ = p;
        });
        m.property<AdoStream>(L"Size", [](AdoStream& s) { return static_cast<long>(s.bytes_.size()); });
        m.method<AdoStream>(L"Open", [](AdoStream& s, const CallArgs&) {
            s.open_ = true;
            s.bytes_.clear();
            s.position_ = 0;
        });
        m.method<AdoStream>(L"Close", [](AdoStream& s, const CallArgs&) { s.open_ = false; });
        // Binary data: a byte array, written at the position.
        m.method<AdoStream>(L"Write", [](AdoStream& s, const CallArgs& a) {
            if (!s.open_) throw adoError(kClosed, L"Operation is not allowed when the object is closed.");
            Variant data = a.value(0);
            const VARIANT* v = data.get();
            if (v->vt != (VT_ARRAY | VT_UI1) || !v->parray) throw adoError(kWrongType, L"Arguments are of the wrong type.");
            void* raw = nullptr;
            LONG lower = 0, upper = -1;
            ::SafeArrayGetLBound(v->parray, 1, &lower);
            ::SafeArrayGetUBound(v->parray, 1, &upper);
            ::SafeArrayAccessData(v->parray, &raw);
            auto* p = static_cast<unsigned char*>(raw);
            size_t n = static_cast<size_t>(upper - lower + 1);
            s.bytes_.resize(std::max<size_t>(s.bytes_.size(), static_cast<size_t>(s.position_) + n));
            std::copy(p, p + n, s.bytes_.begin() + s.position_);
            s.position_ += static_cast<long>(n);
            ::SafeArrayUnaccessData(v->parray);
        });
        // options: 1 create a new file only, 2 create or overwrite.
        m.method<AdoStream>(L"SaveToFile", [](AdoStream& s, const CallArgs& a) {
            a.require(0);
            if (!s.open_) throw adoError(kClosed, L"Operation is not allowed when the object is closed.");
            std::wstring path = a.value(0).toText();
            DWORD disposition = a.number(1, 1) == 2 ? CREATE_ALWAYS : CREATE_NEW;
            const qb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr));
            if (!file) throw adoError(kWriteFailed, L"Write to file failed.");
            DWORD written = 0;
            BOOL ok = ::WriteFile(file.get(), s.bytes_.data() + s.position_,
                                  static_cast<DWORD>(s.bytes_.size() - s.position_), &written, nullptr);
            if (!ok) throw adoError(kWriteFailed, L"Write to file failed.");
        });
        return m;
    }();
    return t;
}

}  // namespace platform
