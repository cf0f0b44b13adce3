// statewatch-probe: watches the suite's connection-state control and prints its events.
//   statewatch-probe watch SECONDS     StartCheck, then prints events for SECONDS
//   statewatch-probe stopped SECONDS   StartCheck + StopCheck, waits SECONDS, ResumeCheck, 1 s more
// Lines: "watching" / "stopped" / "resumed", "ChangeState", "ChangeView <id>", "end <events>".
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <string>

#include "automation/com_error.h"
#include "automation/dispatch_object.h"
#include "automation/object_factory.h"

namespace {

using namespace qb::automation;

// {9766AEE3-2BE2-4BB5-9622-CE9A04FB564F}: the control's event interface.
constexpr IID DIID_CheckStateEvents = {0x9766aee3, 0x2be2, 0x4bb5, {0x96, 0x22, 0xce, 0x9a, 0x04, 0xfb, 0x56, 0x4f}};
int g_events = 0;

class Sink final : public DispatchObject {
protected:
    const MemberTable& members() const override {
        static const MemberTable t = [] {
            MemberTable m;  // ids 1 and 2, as the event interface numbers them
            m.method<Sink>(L"ChangeState", [](Sink&, const CallArgs&) {
                ++g_events;
                std::printf("ChangeState\n");
                std::fflush(stdout);
            });
            m.method<Sink>(L"ChangeView", [](Sink&, const CallArgs& a) {
                ++g_events;
                std::printf("ChangeView %ld\n", a.number(0));
                std::fflush(stdout);
            });
            return m;
        }();
        return t;
    }
    // The connection point asks for its event interface.
    void* interfaceFor(REFIID iid) override {
        return qb::automation::answer(iid, {{IID_IDispatch, asDispatch()}, {DIID_CheckStateEvents, asDispatch()}});
    }
};

void pump(DWORD ms) {
    DWORD end = ::GetTickCount() + ms;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void say(const char* s) {
    std::printf("%s\n", s);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    std::wstring mode = argv[1];
    DWORD ms = static_cast<DWORD>(_wtoi(argv[2])) * 1000;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 0;
    try {
        ComObjectFactory factory;
        Object control = factory.create(L"Statewatch.CheckState");
        auto container = ComPtr<IDispatch>(control.get()).query<IConnectionPointContainer>();
        ComPtr<IConnectionPoint> point;
        if (!container || FAILED(container->FindConnectionPoint(DIID_CheckStateEvents, point.put()))) {
            say("no connection point");
            return 1;
        }
        ComPtr<IDispatch> sink = makeObject<Sink>();
        DWORD cookie = 0;
        if (FAILED(point->Advise(sink.get(), &cookie))) return 1;
        control.call(L"StartCheck");
        if (mode == L"stopped") {
            control.call(L"StopCheck");
            say("stopped");
            pump(ms);
            control.call(L"ResumeCheck");
            say("resumed");
            pump(1000);
        } else {
            say("watching");
            pump(ms);
        }
        point->Unadvise(cookie);
        std::printf("end %d\n", g_events);
    } catch (const ComError& e) {
        std::printf("error %ld\n", e.number());
        rc = 1;
    }
    ::CoUninitialize();
    return rc;
}
