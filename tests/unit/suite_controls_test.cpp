// The suite's controls as strict as a real one: a control is never released inside its own
// event, a control that refuses the window's listener is reported, and the module stays loaded
// while a window of it exists.
#include <gtest/gtest.h>

#include <olectl.h>

#include "automation/server_module.h"
#include "base/handles.h"
#include "engine/engine.h"
#include "event_point.h"
#include "in_process_suite.h"
#include "windows/dialogs/exist_file_server.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::testing {
namespace {

using automation::ComPtr;
using automation::Object;
using windows::frmQuillbox;

// A connection-state control that, like a real one, holds no reference to itself while it raises
// an event, and can refuse the window's sink. What happened to it is kept in statics: the
// control may be gone by the time the test looks.
class StrictStateControl final : public automation::DispatchObject, public IConnectionPointContainer {
public:
    static inline StrictStateControl* current = nullptr;
    static inline bool refuseSinks = false, raising = false, destroyed = false, destroyedInsideEvent = false;

    StrictStateControl() : point_(ComPtr<tesra::EventPoint>::attach(new tesra::EventPoint(this, windows::DIID_CheckStateEvents))) {
        current = this;
        destroyed = destroyedInsideEvent = false;
    }
    ~StrictStateControl() override {
        destroyed = true;
        destroyedInsideEvent = raising;
        point_->orphan();
        current = nullptr;
    }
    // Raises an event to the advised sinks, as the control's own timer would.
    static void raise(DISPID id, const std::vector<automation::Variant>& args = {}) {
        ComPtr<tesra::EventPoint> point = current->point_;  // the point outlives the control here
        raising = true;
        point->fire(id, args);
        raising = false;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return DispatchObject::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        if (refuseSinks) {
            if (out) *out = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        return point_->find(iid, out);
    }

protected:
    const automation::MemberTable& members() const override {
        static const automation::MemberTable table = [] {
            automation::MemberTable t;
            for (const wchar_t* m : {L"StartCheck", L"StopCheck", L"ResumeCheck"})
                t.method<StrictStateControl>(m, [](StrictStateControl&, const automation::CallArgs&) {});
            return t;
        }();
        return table;
    }
    void* interfaceFor(REFIID iid) override {
        return automation::answer(iid, {{IID_IDispatch, asDispatch()},
                                        {IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}});
    }

private:
    ComPtr<tesra::EventPoint> point_;
};

// The suite in-process, its connection-state control the strict one.
struct WithStrictControl final : automation::ObjectFactory {
    automation::ObjectFactory& suite;
    explicit WithStrictControl(automation::ObjectFactory& s) : suite(s) {}
    Object create(std::wstring_view progId) override {
        if (progId == L"Statewatch.CheckState") return Object(automation::makeObject<StrictStateControl>());
        return suite.create(progId);
    }
};

struct SuiteControlTest : SeededSuite {
    WithStrictControl objects{suiteObjects};
    support::ScopedServices seams{
        support::Services{.objects = &objects, .prompter = nullptr, .modal = nullptr, .logFile = {}, .shell = nullptr}};
    frmQuillbox window;

    void SetUp() override {
        SeededSuite::SetUp();
        StrictStateControl::refuseSinks = false;
        window.oFileSelected = loadItem(L"C:\\docs\\report.txt");
    }
    void TearDown() override {
        window.unload();
        SeededSuite::TearDown();
    }
    static void pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
    }
};

TEST_F(SuiteControlTest, AChangeOfStateClosesTheWindowOnceTheControlsEventHasReturned) {
    window.load();
    ASSERT_NE(StrictStateControl::current, nullptr);
    StrictStateControl::raise(1);
    EXPECT_FALSE(StrictStateControl::destroyed) << "the control was let go inside its own event";
    EXPECT_TRUE(window.isLoaded());
    EXPECT_TRUE(fakes.prompter.boxes.empty());

    pump();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u);
    EXPECT_EQ(fakes.prompter.boxes[0].caption, L"Vellumdex");
    EXPECT_FALSE(window.isLoaded());
    EXPECT_TRUE(StrictStateControl::destroyed) << "closing the window lets the control go";
    EXPECT_FALSE(StrictStateControl::destroyedInsideEvent);
}

TEST_F(SuiteControlTest, AControlThatRefusesTheWindowsListenerIsReportedOnceByTheLoad) {
    StrictStateControl::refuseSinks = true;
    window.load();
    ASSERT_EQ(fakes.prompter.boxes.size(), 1u) << "the window would never close on a change of state";
    EXPECT_EQ(fakes.prompter.boxes[0].flags & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
    const std::string log = fakes.logFile.read();
    EXPECT_NE(log.find("frmQuillbox.Form_Load()"), std::string::npos) << log;
    EXPECT_EQ(log.find(" -- ERROR --"), log.rfind(" -- ERROR --")) << "one block";
    EXPECT_TRUE(window.isLoaded()) << "the window is still usable";
}

// Windows unloads a module at once when DllCanUnloadNow says so, under any window whose
// procedure is its code.
TEST_F(SuiteControlTest, TheModuleStaysLoadedWhileAWindowOfItExistsAndTheLastEngineClosesThem) {
    ASSERT_FALSE(engine::windowsAlive());
    {
        Object engine(engine::createEngine());
        windows::frmExistFileServer& clash = windows::existFileServerSlot().getOrCreate();
        clash.load();  // an upload leaves it loaded, hidden, for the next clash
        EXPECT_TRUE(engine::windowsAlive());
        EXPECT_EQ(automation::serverCanUnloadNow(engine::windowsAlive), S_FALSE);
    }
    EXPECT_EQ(windows::existFileServerSlot().get(), nullptr) << "the last Engine closes the kept dialog";
    EXPECT_FALSE(engine::windowsAlive());
    window.load();  // a window alive without any Engine
    EXPECT_EQ(automation::serverCanUnloadNow(engine::windowsAlive), S_FALSE);
    window.unload();
    EXPECT_FALSE(engine::windowsAlive());

    // The export of the built DLL: held while one of its objects lives.
    UniqueModule dll(::LoadLibraryW(L"..\\src\\Quillbox.dll"));
    ASSERT_TRUE(dll);
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(::GetProcAddress(dll.get(), "DllCanUnloadNow")));
    auto classObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(dll.get(), "DllGetClassObject")));
    ASSERT_TRUE(canUnload && classObject);
    EXPECT_EQ(canUnload(), S_OK);
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(classObject(engine::CLSID_Engine, IID_IClassFactory, factory.put_void()), S_OK);
        ComPtr<IDispatch> engine;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, engine.put_void()), S_OK);
        factory.reset();
        EXPECT_EQ(canUnload(), S_FALSE);
    }
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
}  // namespace qb::testing
