#include "statewatch.h"

#include "automation/com_error.h"
#include "automation/module.h"

namespace tesra {
namespace {

constexpr wchar_t kTimerClass[] = L"TesraCheckStateTimer";
constexpr UINT kPollMilliseconds = 250;

}  // namespace

CheckState::CheckState()
    : events_(qb::automation::ComPtr<EventPoint>::attach(new EventPoint(this, DIID_CheckStateEvents))) {}

CheckState::~CheckState() {
    events_->orphan();
    stop();
    if (timerWindow_) ::DestroyWindow(timerWindow_);
}

void* CheckState::interfaceFor(REFIID iid) {
    return qb::automation::answer(iid, {{IID_IDispatch, asDispatch()},
                                        {IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}});
}

STDMETHODIMP CheckState::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void CheckState::readBaseline() {
    state_ = db().setting(L"StateConnection", L"1");
    view_ = db().setting(L"ActiveView", L"");
}

void CheckState::start() {
    if (!timerWindow_) {
        static ATOM atom = [] {
            WNDCLASSEXW wc{sizeof wc};
            wc.lpfnWndProc = &CheckState::timerWindowProc;
            wc.hInstance = qb::automation::thisModule();
            wc.lpszClassName = kTimerClass;
            return ::RegisterClassExW(&wc);
        }();
        (void)atom;
        timerWindow_ = ::CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         qb::automation::thisModule(), nullptr);
        if (!timerWindow_)
            throw qb::automation::ComError::fromHResult(HRESULT_FROM_WIN32(::GetLastError()), L"Statewatch.CheckState");
        ::SetWindowLongPtrW(timerWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    readBaseline();
    ::SetTimer(timerWindow_, 1, kPollMilliseconds, nullptr);
}

void CheckState::stop() {
    if (timerWindow_) ::KillTimer(timerWindow_, 1);
}

void CheckState::poll() {
    std::wstring state = db().setting(L"StateConnection", L"1");
    std::wstring view = db().setting(L"ActiveView", L"");
    if (state != state_) {
        state_ = state;
        fire(kChangeStateId, {});
    }
    if (view != view_) {
        view_ = view;
        if (!view.empty()) fire(kChangeViewId, {Variant(static_cast<short>(_wtoi(view.c_str())))});
    }
}

void CheckState::fire(DISPID id, const std::vector<Variant>& args) { events_->fire(id, args); }

LRESULT CALLBACK CheckState::timerWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        try {
            if (auto* self = reinterpret_cast<CheckState*>(::GetWindowLongPtrW(h, GWLP_USERDATA))) {
                // A sink may let the control go while it handles an event: it stays until the
                // whole poll is done (the second event is looked for after the first).
                qb::automation::ComPtr<IDispatch> alive(self->asDispatch());
                self->poll();
            }
        } catch (...) {
            // A busy or missing database: look again at the next tick.
        }
        return 0;
    }
    return ::DefWindowProcW(h, msg, wp, lp);
}

const MemberTable& CheckState::members() const {
    static const MemberTable table = [] {
        MemberTable t;
        t.method<CheckState>(L"StartCheck", [](CheckState& c, const CallArgs&) { c.start(); });
        t.method<CheckState>(L"StopCheck", [](CheckState& c, const CallArgs&) { c.stop(); });
        t.method<CheckState>(L"ResumeCheck", [](CheckState& c, const CallArgs&) { c.start(); });
        return t;
    }();
    return table;
}

}  // namespace tesra
