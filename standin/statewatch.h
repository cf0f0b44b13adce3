#pragma once
// Statewatch.CheckState: the suite's connection-state control. While watching it looks at the
// suite's settings a few times a second and raises, to every advised sink of its event interface:
//   ChangeState()            (dispid 1) when the setting "StateConnection" changed,
//   ChangeView(viewId As Integer) (dispid 2) when the setting "ActiveView" changed.
// Operations: StartCheck (takes the current values as the baseline and watches), StopCheck,
// ResumeCheck (a new baseline: changes made while stopped are not reported).
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "event_point.h"
#include "record.h"

namespace tesra {

// {9766AEE3-2BE2-4BB5-9622-CE9A04FB564F}
inline constexpr IID DIID_CheckStateEvents = {0x9766aee3, 0x2be2, 0x4bb5, {0x96, 0x22, 0xce, 0x9a, 0x04, 0xfb, 0x56, 0x4f}};
inline constexpr DISPID kChangeStateId = 1;
inline constexpr DISPID kChangeViewId = 2;

class CheckState final : public SuiteObject, public IConnectionPointContainer {
public:
    CheckState();
    ~CheckState() override;

    // IUnknown (shared by both interfaces)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return SuiteObject::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return SuiteObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return SuiteObject::Release(); }
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override { return events_->find(iid, out); }

protected:
    const MemberTable& members() const override;
    void* interfaceFor(REFIID iid) override;

private:
    static LRESULT CALLBACK timerWindowProc(HWND, UINT, WPARAM, LPARAM);
    void start();
    void stop();
    void poll();
    void fire(DISPID id, const std::vector<Variant>& args);
    void readBaseline();

    HWND timerWindow_ = nullptr;
    qb::automation::ComPtr<EventPoint> events_;
    std::wstring state_, view_;
};

}  // namespace tesra
