// The automation layer: calls by name, arguments, collections, errors and where they stop.
#include <gtest/gtest.h>

#include "automation/boundary.h"
#include "automation/failure.h"
#include "automation/object.h"
#include "automation/object_factory.h"
#include "automation/text.h"
#include "fakes.h"

namespace qb::testing {
namespace {

using automation::Arg;
using automation::ComError;
using automation::Object;
namespace err = automation::err;

struct AutomationTest : ::testing::Test {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    automation::ComPtr<FakeObject> fake = makeFake(L"Obj", log);
    Object obj = fake->object();
};

TEST_F(AutomationTest, PositionalMissingAndTypedArgumentsArriveInOrder) {
    fake->accept(L"loaddata");
    obj.call(L"loaddata", {Arg::missing(), Arg::missing(), 7, L"C:\\a b.txt", true, short{3}});
    ASSERT_EQ(log->size(), 1u);
    EXPECT_EQ(log->at(0), L"Obj.loaddata(<missing>, <missing>, 7, \"C:\\a b.txt\", True, 3)");
}

TEST_F(AutomationTest, MemberNamesAreCaseInsensitiveAndResultsComeBack) {
    fake->on(L"GetOne", [](const CallArgs& a) { return Variant(a.text(0) + L"!"); });
    EXPECT_EQ(obj.call(L"getone", {L"x"}).toText(), L"x!");
}

TEST_F(AutomationTest, ByReferenceArgumentIsUpdatedByTheCallee) {
    fake->on(L"Fill", [](const CallArgs& a) {
        a.setRef(0, Variant(L"filled"));
        return Variant();
    });
    Variant var(L"before");
    obj.call(L"Fill", {Arg::byRef(var)});
    EXPECT_EQ(var.toText(), L"filled");
}

TEST_F(AutomationTest, CollectionsAreWalkedFirstToLast) {
    std::vector<Variant> items{Variant(L"a"), Variant(L"b"), Variant(L"c")};
    Object coll(automation::makeObject<automation::Collection>(items));
    std::wstring seen;
    coll.forEach([&](const Variant& v) { seen += v.toText(); });
    EXPECT_EQ(seen, L"abc");
    EXPECT_EQ(coll.get(L"Count").toLong(), 3);
    Object empty(automation::makeObject<automation::Collection>(std::vector<Variant>{}));
    EXPECT_TRUE(empty.items().empty());
}

TEST_F(AutomationTest, FailuresMapToTheNumbersAnAutomationClientExpects) {
    auto number = [&](auto&& call) {
        try {
            call();
        } catch (const ComError& e) {
            return e.number();
        }
        return 0L;
    };
    fake->on(L"Boom", [](const CallArgs&) -> Variant {
        throw ComError(1234, L"suite failed", L"Tesra.File", L"help.chm", 42);
    });
    fake->on(L"Big", [](const CallArgs&) { return Variant(1e12); });
    fake->on(L"Word", [](const CallArgs&) { return Variant(L"abc"); });
    fake->on(L"Missing", [](const CallArgs& a) {
        a.require(0);
        return Variant();
    });

    EXPECT_EQ(number([&] { obj.call(L"NoSuchMember"); }), err::MemberNotSupported);
    EXPECT_EQ(number([&] { obj.call(L"Big").toLong(); }), err::Overflow);
    EXPECT_EQ(number([&] { obj.call(L"Word").toLong(); }), err::TypeMismatch);
    EXPECT_EQ(number([&] { obj.call(L"Missing"); }), err::ArgumentNotOptional);
    EXPECT_EQ(number([&] { Object().call(L"Anything"); }), err::ObjectNotSet);
    EXPECT_EQ(number([&] { automation::ComObjectFactory().create(L"No.Such.ProgId"); }), err::CantCreateObject);

    try {
        obj.call(L"Boom");
        FAIL() << "no error";
    } catch (const ComError& e) {  // DISP_E_EXCEPTION: everything from the callee's EXCEPINFO
        EXPECT_EQ(e.number(), 1234);
        EXPECT_EQ(e.description(), L"suite failed");
        EXPECT_EQ(e.source(), L"Tesra.File");
        EXPECT_EQ(e.helpFile(), L"help.chm");
        EXPECT_EQ(e.helpContext(), 42u);
    }
    EXPECT_EQ(ComError::fromHResult(E_ACCESSDENIED).number(), 70);
    EXPECT_EQ(ComError::fromHResult(E_ACCESSDENIED).description(), L"Permission denied");
    EXPECT_EQ(ComError::fromHResult(E_NOINTERFACE).number(), static_cast<long>(E_NOINTERFACE));
}

// What the user reads is the system's text for the failure's number, never a generic one.
TEST_F(AutomationTest, AFailureWithoutATextOfItsOwnGetsTheTextOfItsNumber) {
    EXCEPINFO ei{};
    ei.scode = static_cast<SCODE>(0x800A004C);  // as the file system object raises a missing folder
    EXPECT_EQ(ComError::fromExcepInfo(ei).description(), L"Path not found");
    ei.scode = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
    const std::wstring text = ComError::fromExcepInfo(ei).description();
    EXPECT_FALSE(text.empty() || text.starts_with(L"Automation error") || text.starts_with(L"Application-defined"))
        << automation::toUtf8(text);
    EXPECT_EQ(ComError::fromHResult(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)).description(), text);
}

TEST_F(AutomationTest, QualifiedNamesAccumulateInTheSourceAndKeepTheRest) {
    auto inner = [] {
        automation::qualified(L"modFileFunction.FSOFileExist()",
                              [] { throw ComError(53, L"File not found", L"Quillbox", L"h.hlp", 7); });
    };
    try {
        automation::qualified(L"Engine.ShowRelation()", inner);
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.source(), L"Quillbox modFileFunction.FSOFileExist()  Engine.ShowRelation() ");
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), L"File not found");
        EXPECT_EQ(e.helpFile(), L"h.hlp");
        EXPECT_EQ(e.helpContext(), 7u);
    }
    // A C++ failure that is not ours still leaves as the component's error type.
    EXPECT_THROW(automation::qualified(L"X.Y()", [] { throw std::runtime_error("bad"); }), ComError);
}

TEST_F(AutomationTest, IgnoredFailuresGoOnWithTheNextStatement) {
    int reached = 0;
    automation::ignoreFailure([] { throw ComError(5, L"x"); });
    automation::ignoreFailure([&] { ++reached; });
    EXPECT_EQ(reached, 1);
}

TEST_F(AutomationTest, BoundaryTurnsFailuresIntoExcepInfoForTheClient) {
    EXCEPINFO ei{};
    HRESULT hr = automation::invokeBoundary(&ei, IID_IDispatch, []() -> HRESULT {
        ComError e(429, L"ActiveX component can't create object", L"Quillbox");
        e.appendSource(L"Engine.ShowEditName()");
        throw e;
    });
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode, static_cast<SCODE>(0x800A01AD));
    EXPECT_EQ(std::wstring(ei.bstrSource), L"Quillbox Engine.ShowEditName() ");
    EXPECT_EQ(std::wstring(ei.bstrDescription), L"ActiveX component can't create object");
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    // The thread's error info carries the same for clients that read IErrorInfo.
    automation::ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    BSTR source = nullptr;
    info->GetSource(&source);
    EXPECT_EQ(std::wstring(source), L"Quillbox Engine.ShowEditName() ");
    ::SysFreeString(source);

    EXPECT_EQ(automation::hresultBoundary([]() -> HRESULT { throw std::bad_alloc(); }),
              static_cast<HRESULT>(0x800A0007));
}

// A class registered for this process only, counting what its factory makes.
struct CountingFactory final : IClassFactory {
    int made = 0;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        ++made;
        return automation::makeObject<automation::Collection>(std::vector<Variant>{})->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TEST_F(AutomationTest, KeptClassFactoriesStillMakeANewObjectPerCreation) {
    const CLSID clsid = {0x5a1d6f3e, 0x1b2c, 0x4d5e, {0x8f, 0x90, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6}};
    CountingFactory counting;
    DWORD cookie = 0;
    ASSERT_EQ(::CoRegisterClassObject(clsid, &counting, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
    const std::wstring id = L"{5A1D6F3E-1B2C-4D5E-8F90-A1B2C3D4E5F6}";
    automation::ComObjectFactory factory;
    {
        automation::FactoryReuse reuse(factory);
        Object a = factory.create(id);
        Object b = factory.create(id);
        EXPECT_NE(a.get(), b.get());
        EXPECT_EQ(counting.made, 2) << "a new object per creation";
        EXPECT_THROW(factory.create(L"No.Such.ProgId"), ComError);
    }
    EXPECT_FALSE(factory.create(id).isNothing()) << "and after the operation ended";
    EXPECT_EQ(counting.made, 3);
    ::CoRevokeClassObject(cookie);
}

TEST_F(AutomationTest, VariantConversionsFollowTheClientsRules) {
    EXPECT_EQ(Variant(42L).toText(), L"42");
    EXPECT_EQ(Variant(true).toText(), L"True");
    EXPECT_EQ(Variant(L"17").toShort(), 17);
    EXPECT_TRUE(Variant(static_cast<IDispatch*>(nullptr)).isNothing());
    EXPECT_TRUE(Variant::missing().isMissing());
    Variant copy = Variant(L"text");
    Variant other = copy;  // deep copy: both usable
    EXPECT_EQ(other.toText(), copy.toText());
    EXPECT_THROW(Variant(L"x").toObject(), ComError);
    try {
        Variant(L"70000").toShort();
        FAIL() << "no overflow";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

}  // namespace
}  // namespace qb::testing
