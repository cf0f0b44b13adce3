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

TempFile::TempFile(const wchar_t* stem) {
    static std::atomic<int> counter{0};
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir) + stem + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L".tmp";
    ::DeleteFileW(path_.c_str());
}

TempFile::~TempFile() { ::DeleteFileW(path_.c_str()); }

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
